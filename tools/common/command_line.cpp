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

QString HelpText(const CommandLineSpec &spec)
{
    QString text = QStringLiteral("usage: ") + spec.usage + QLatin1Char('\n');
    if (!spec.about.isEmpty())
        text += QLatin1Char('\n') + spec.about;
    text += QStringLiteral("\nOptions:\n");
    for (const QCommandLineOption &option : spec.options)
        text += OptionLines(option);
    text += OptionLines(HelpOption);
    if (!spec.epilogue.isEmpty())
        text += QLatin1Char('\n') + spec.epilogue;
    return text;
}

int UsageError(const CommandLineSpec &spec, const QString &message, QTextStream &err)
{
    err << spec.program << ": " << message << '\n' << "usage: " << spec.usage << Qt::endl;
    return spec.usageStatus;
}

std::optional<int> ParseCommandLine(QCommandLineParser &parser, const CommandLineSpec &spec,
                                    const QStringList &args, QTextStream &out, QTextStream &err)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(spec.options);
    parser.addOption(HelpOption);
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("print the version and exit"));
    if (!spec.version.isEmpty())
        parser.addOption(versionOption);
    const bool parsed = parser.parse(QStringList{spec.program} + args);
    // Help wins over whatever else is wrong on the line.
    if ((parsed && parser.isSet(HelpOption)) || args.contains(QLatin1String("--help")) ||
        args.contains(QLatin1String("-h"))) {
        out << HelpText(spec) << Qt::flush;
        return 0;
    }
    if (!parsed)
        return UsageError(spec, parser.errorText(), err);
    if (!spec.version.isEmpty() && parser.isSet(versionOption)) {
        out << spec.program << ' ' << spec.version << Qt::endl;
        return 0;
    }
    for (const QCommandLineOption &option : spec.options) {
        if (option.valueName().isEmpty())
            continue;
        const QStringList values = parser.values(option);
        if (values.size() > 1 && !spec.repeatable.contains(option.names().constFirst()))
            return UsageError(spec, QStringLiteral("%1 is given more than once").arg(OptionName(option)),
                              err);
        if (values.contains(QString()))
            return UsageError(spec, QStringLiteral("%1 needs a value").arg(OptionName(option)), err);
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < spec.minArguments)
        return UsageError(spec, spec.missingArguments, err);
    if (spec.maxArguments >= 0 && positional.size() > spec.maxArguments)
        return UsageError(
            spec, QStringLiteral("unexpected argument '%1'").arg(positional.at(spec.maxArguments)), err);
    return std::nullopt;
}

} // namespace vireo::tool
