#include "command_line.h"
#include "path_checks.h"
#include "unit_line.h"
#include "unit_simulator.h"

#include "model/settings_file.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

using namespace vireo;

namespace {

tool::CommandSyntax SimSyntax()
{
    tool::CommandSyntax syntax;
    syntax.program = QStringLiteral("vireo-unit-sim");
    syntax.usage =
        QStringLiteral("vireo-unit-sim [--device PATH | --link PATH] [--memory FILE.st2] [--save FILE.st2] "
                       "[--code NNNNN] [--baud BPS] [--echo] [--preamble N] [--turnaround MS] [--fault "
                       "KIND[=N]]... [--once]");
    syntax.about = QStringLiteral("A simulated Wren unit on the other end of the cloning cable.\n");
    syntax.epilogue = QStringLiteral(
        "Without --device the first line of standard output is the device the program\n"
        "should open. Serves until SIGTERM or SIGINT.\n"
        "Exit status: 0 stopped, after --once or unplugged by its fault; 1 wrong call;\n"
        "2 the line, the --memory file or the --link could not be set up, or a --save failed.\n");
    syntax.options = {
        {QStringLiteral("device"),
         QStringLiteral("serve on an existing serial device instead of a new pseudo-terminal"),
         QStringLiteral("PATH")},
        {QStringLiteral("link"),
         QStringLiteral("make PATH a symbolic link to the pseudo-terminal (removed at exit)"),
         QStringLiteral("PATH")},
        {QStringLiteral("memory"),
         QStringLiteral("the unit's memory at start (default: the factory settings)"),
         QStringLiteral("FILE")},
        {QStringLiteral("save"),
         QStringLiteral("write the unit's memory to FILE after every completed write"),
         QStringLiteral("FILE")},
        {QStringLiteral("code"),
         QStringLiteral("the access code the unit accepts (default %1)").arg(DefaultAccessCode),
         QStringLiteral("NNNNN")},
        {QStringLiteral("baud"),
         QStringLiteral("line speed that paces the unit's output, 10 bits a byte\n"
                        "(default 9600; 0 sends without pacing)"),
         QStringLiteral("BPS")},
        {QStringLiteral("echo"),
         QStringLiteral("send every received byte back, as the radio's cloning cable does")},
        {QStringLiteral("preamble"), QStringLiteral("FE bytes before each reply (default 2)"),
         QStringLiteral("N")},
        {QStringLiteral("turnaround"),
         QStringLiteral("pause between the end of a frame and its reply (default 0)"), QStringLiteral("MS")},
        {QStringLiteral("fault"),
         QStringLiteral("no-unit, wrong-identity, short-data=N, extra-blocks, bad-block=N,\n"
                        "silent-after=N, noise=RATE, babble, crlf-reversed, unplug-after=N,\n"
                        "stuck-bit=N (may be given several times)"),
         QStringLiteral("KIND[=N]")},
        {QStringLiteral("once"), QStringLiteral("end after one clone run")},
    };
    syntax.repeatable = {QStringLiteral("fault")};
    syntax.version = QStringLiteral(VIREO_VERSION);
    return syntax;
}

QTextStream &Out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &Err()
{
    static QTextStream stream(stderr);
    return stream;
}

// The factory settings, built into the program so it runs from anywhere.
UnitWords FactoryMemory()
{
    UnitModel model;
    // Built from the shipped initial file, so it always loads.
    [[maybe_unused]] const Result<LoadOutcome> loaded =
        LoadDataFile(QStringLiteral(":/vireo-unit-sim/VIREO.sts"), model);
    Q_ASSERT(loaded && *loaded == LoadStatus::Loaded);
    return model.UnitImage;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const tool::CommandSyntax syntax = SimSyntax();
    QCommandLineParser parser;
    if (const std::optional<int> status = tool::ParseCommandLine(parser, syntax, args, Out(), Err()))
        return *status;
    const auto wrongCall = [&](const QString &message) { return tool::UsageError(syntax, message, Err()); };

    UnitLineOptions line;
    UnitSimConfig config;
    line.device = parser.value(QStringLiteral("device"));
    line.link = parser.value(QStringLiteral("link"));
    line.savePath = parser.value(QStringLiteral("save"));
    line.once = parser.isSet(QStringLiteral("once"));
    config.echo = parser.isSet(QStringLiteral("echo"));
    const QString memoryPath = parser.value(QStringLiteral("memory"));
    // Each number option: its range and the message when it is outside.
    struct NumberOption {
        const char *name;
        int min, max;
        int *target;
        const char *message;
    };
    const NumberOption numbers[] = {
        {"code", 0, 99999, &config.accessCode, "--code needs up to five digits"},
        {"baud", 0, 4000000, &config.baud, "--baud needs bits per second, such as 9600 (0: no pacing)"},
        {"preamble", 1, 64, &config.preamble, "--preamble needs a number of FE bytes from 1 to 64"},
        {"turnaround", 0, 60000, &config.turnaroundMs, "--turnaround needs milliseconds from 0 to 60000"},
    };
    for (const NumberOption &n : numbers) {
        const QString name = QString::fromLatin1(n.name);
        if (!parser.isSet(name))
            continue;
        const QString text = parser.value(name);
        const std::optional<int> value = tool::ParseNumber(text, n.min, n.max);
        if (!value || (n.target == &config.accessCode && text.size() > 5)) // five digits at most
            return wrongCall(QString::fromLatin1(n.message));
        *n.target = *value;
    }
    for (const QString &fault : parser.values(QStringLiteral("fault")))
        if (const std::optional<QString> error = ParseUnitFault(fault, config.faults))
            return wrongCall(*error);
    if (!line.device.isEmpty() && !line.link.isEmpty())
        return wrongCall(
            QStringLiteral("--device and --link cannot be combined: --link names a new pseudo-terminal"));
    if (!line.device.isEmpty() && config.baud == 0)
        return wrongCall(
            QStringLiteral("--device needs a real line speed; --baud 0 is for pseudo-terminals"));

    if (!line.savePath.isEmpty()) {
        // A write never changes the unit's starting memory, so --save must name another file.
        if (!memoryPath.isEmpty() && tool::SameFile(line.savePath, memoryPath))
            return wrongCall(QStringLiteral("--save must name another file than --memory"));
        // Found now, not after the first complete write, which the program would take as saved.
        if (const Result<> target = CheckSaveTarget(line.savePath); !target) {
            Err() << "vireo-unit-sim: cannot save to " << line.savePath << ": " << target.error() << Qt::endl;
            return 2;
        }
    }
    if (memoryPath.isEmpty()) {
        config.memory = FactoryMemory();
    } else {
        UnitModel model;
        const Result<LoadOutcome> loaded = LoadDataFile(memoryPath, model);
        if (!loaded) {
            Err() << "vireo-unit-sim: cannot open " << memoryPath << ": " << loaded.error() << Qt::endl;
            return 2;
        }
        if (*loaded == LoadStatus::Illegal) {
            Err() << "vireo-unit-sim: " << memoryPath
                  << " is not a settings file (99 lines of four hexadecimal digits)" << Qt::endl;
            return 2;
        }
        config.memory = model.UnitImage;
    }

    UnitSimulator unit(config);
    return RunUnitLine(line, unit);
}
