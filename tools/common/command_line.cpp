// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing and help for every program and command of the tools.
#include "command_line.h"

namespace vireo::tool {

namespace {

const QCommandLineOption HelpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("print this help and exit"));

QString Dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// "  -o, --output FILE   description", continuation lines indented under it.
QString OptionLines(const QCommandLineOption &option)
{
    constexpr int Column = 20;
    QStringList names;
    for (const QString &name : option.names())
        names << Dashed(name);
    QString head = QStringLiteral("  ") + names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        head += QLatin1Char(' ') + option.valueName();
    head = head.size() < Column ? head.leftJustified(Column)
                                : head + QStringLiteral("\n") + QString(Column, u' ');
    QString description = option.description();
    description.replace(QLatin1Char('\n'), QLatin1Char('\n') + QString(Column, u' '));
    return head + description + QLatin1Char('\n');
}

} // namespace

QString OptionName(const QCommandLineOption &option)
{
    return Dashed(option.names().constFirst());
}

QString HelpText(const CommandSyntax &syntax)
{
    QString text = QStringLiteral("usage: ") + syntax.usage + QLatin1Char('\n');
    if (!syntax.about.isEmpty())
        text += QLatin1Char('\n') + syntax.about;
    text += QStringLiteral("\nOptions:\n");
    for (const QCommandLineOption &option : syntax.options)
        text += OptionLines(option);
    text += OptionLines(HelpOption);
    if (!syntax.epilogue.isEmpty())
        text += QLatin1Char('\n') + syntax.epilogue;
    return text;
}

int UsageError(const CommandSyntax &syntax, const QString &message, QTextStream &err)
{
    err << syntax.program << ": " << message << '\n' << "usage: " << syntax.usage << Qt::endl;
    return syntax.usageStatus;
}

std::optional<int> ParseCommandLine(QCommandLineParser &parser, const CommandSyntax &syntax,
                                    const QStringList &args, QTextStream &out, QTextStream &err)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(syntax.options);
    parser.addOption(HelpOption);
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("print the version and exit"));
    if (!syntax.version.isEmpty())
        parser.addOption(versionOption);
    const bool parsed = parser.parse(QStringList{syntax.program} + args);
    // Help wins over whatever else is wrong on the line.
    if ((parsed && parser.isSet(HelpOption)) || args.contains(QLatin1String("--help")) ||
        args.contains(QLatin1String("-h"))) {
        out << HelpText(syntax) << Qt::flush;
        return 0;
    }
    if (!parsed)
        return UsageError(syntax, parser.errorText(), err);
    if (!syntax.version.isEmpty() && parser.isSet(versionOption)) {
        out << syntax.program << ' ' << syntax.version << Qt::endl;
        return 0;
    }
    for (const QCommandLineOption &option : syntax.options) {
        if (option.valueName().isEmpty())
            continue;
        const QStringList values = parser.values(option);
        if (values.size() > 1 && !syntax.repeatable.contains(option.names().constFirst()))
            return UsageError(syntax, QStringLiteral("%1 is given more than once").arg(OptionName(option)),
                              err);
        if (values.contains(QString()))
            return UsageError(syntax, QStringLiteral("%1 needs a value").arg(OptionName(option)), err);
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < syntax.minArguments)
        return UsageError(syntax, syntax.missingArguments, err);
    if (syntax.maxArguments >= 0 && positional.size() > syntax.maxArguments)
        return UsageError(
            syntax, QStringLiteral("unexpected argument '%1'").arg(positional.at(syntax.maxArguments)), err);
    return std::nullopt;
}

std::optional<int> ParseNumber(const QString &text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace vireo::tool
