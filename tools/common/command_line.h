// SPDX-License-Identifier: GPL-3.0-or-later
// The one command-line parser of the tools: every program and command takes
// its options through QCommandLineParser here, so --help, wrong calls and
// their exit statuses read the same everywhere.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace vireo::tool {

/** What one program or command takes, and the help that tells it. */
struct CommandSyntax {
    QString program;  ///< starts every message: "vireo-cli", "vireo-unit-sim"
    QString usage;    ///< the synopsis after "usage: "
    QString about;    ///< --help: what it does, before the options
    QString epilogue; ///< --help: after the options (exit statuses)
    QList<QCommandLineOption> options;
    int minArguments = 0;
    int maxArguments = 0;     ///< -1: any number
    QString missingArguments; ///< the message when fewer arguments are given
    QStringList repeatable;   ///< value options that may be given more than once
    int usageStatus = 1;      ///< the exit status of a wrong call
    QString version;          ///< when set, --version prints "<program> <version>"
};

/// Parses args (the words after the program or command name). nullopt: go on
/// and read the parser. Otherwise the exit status to end with at once: 0 after
/// --help (usage and options on out) or --version, usageStatus after a wrong call (one
/// message and the usage line on err). A value option given twice (unless
/// repeatable) or with an empty value is a wrong call.
std::optional<int> ParseCommandLine(QCommandLineParser &parser, const CommandSyntax &syntax,
                                    const QStringList &args, QTextStream &out, QTextStream &err);

/// Prints "<program>: <message>" and the usage line on err; returns syntax.usageStatus.
int UsageError(const CommandSyntax &syntax, const QString &message, QTextStream &err);

/// The full --help text: usage line, about, the options, the epilogue.
QString HelpText(const CommandSyntax &syntax);

/// An option as typed: "-o" or "--port".
QString OptionName(const QCommandLineOption &option);

/// text as a whole number from min to max; nothing when it is not one or lies outside.
std::optional<int> ParseNumber(const QString &text, int min, int max);

} // namespace vireo::tool
