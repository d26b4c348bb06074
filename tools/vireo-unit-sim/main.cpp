// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-unit-sim: a simulated Wren unit on a pseudo-terminal (or a given serial
// device), so the program and the CLI can clone without a radio on the desk.
#include "unit_line.h"
#include "unit_simulator.h"

#include "model/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <sys/stat.h>

using namespace vireo;

namespace {

constexpr char UsageLine[] =
    "usage: vireo-unit-sim [--device PATH | --link PATH] [--memory FILE.st2] [--save FILE.st2] "
    "[--code NNNNN] [--baud BPS] [--echo] [--preamble N] [--turnaround MS] [--fault KIND[=N]]... [--once]";

constexpr char HelpText[] =
    "A simulated Wren unit on the other end of the cloning cable.\n"
    "\n"
    "  --device PATH     serve on an existing serial device instead of a new pseudo-terminal\n"
    "  --link PATH       make PATH a symbolic link to the pseudo-terminal (removed at exit)\n"
    "  --memory FILE     the unit's memory at start (default: the factory settings)\n"
    "  --save FILE       write the unit's memory to FILE after every completed write\n"
    "  --code NNNNN      the access code the unit accepts (default 58206)\n"
    "  --baud BPS        line speed that paces the unit's output, 10 bits a byte\n"
    "                    (default 9600; 0 sends without pacing)\n"
    "  --echo            send every received byte back, as the radio's cloning cable does\n"
    "  --preamble N      FE bytes before each reply (default 2)\n"
    "  --turnaround MS   pause between the end of a frame and its reply (default 0)\n"
    "  --fault KIND[=N]  no-unit, wrong-identity, short-data=N, extra-blocks, bad-block=N,\n"
    "                    silent-after=N, noise=RATE, babble, crlf-reversed, unplug-after=N,\n"
    "                    stuck-bit=N\n"
    "  --once            end after one clone run\n"
    "\n"
    "Without --device the first line of standard output is the device the program\n"
    "should open. Serves until SIGTERM or SIGINT.\n";

void Print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int UsageError(const QString &message)
{
    Print(stderr, QStringLiteral("vireo-unit-sim: %1\n%2\n").arg(message, QString::fromLatin1(UsageLine)));
    return 1;
}

std::optional<int> ParseInt(const QString &text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

// The factory settings, built into the program so it runs from anywhere.
UnitWords FactoryMemory()
{
    UnitModel model;
    (void)LoadDataFile(QStringLiteral(":/vireo-unit-sim/VIREO.sts"), model);
    return model.UnitImage;
}

// The same file under either name (also through a link or a hard link).
bool SameFile(const QString &a, const QString &b)
{
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath())
        return true;
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace

int main(int argc, char **argv)
{
    UnitLineOptions line;
    UnitSimConfig config;
    QString memoryPath;

    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        std::optional<QString> inlineValue;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(u'=')) {
            inlineValue = arg.mid(arg.indexOf(u'=') + 1);
            arg = arg.left(arg.indexOf(u'='));
        }
        auto flag = [&]() { return !inlineValue.has_value(); };
        auto value = [&]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };

        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            Print(stdout,
                  QString::fromLatin1(UsageLine) + QStringLiteral("\n\n") + QString::fromLatin1(HelpText));
            return 0;
        }
        if (arg == QLatin1String("--echo") || arg == QLatin1String("--once")) {
            if (!flag())
                return UsageError(QStringLiteral("%1 takes no value").arg(arg));
            (arg == QLatin1String("--echo") ? config.echo : line.once) = true;
            continue;
        }
        static const QStringList valueOptions = {"--device", "--link",     "--memory",     "--save", "--code",
                                                 "--baud",   "--preamble", "--turnaround", "--fault"};
        if (!valueOptions.contains(arg))
            return UsageError(QStringLiteral("unknown option \"%1\"").arg(args[i]));
        const std::optional<QString> v = value();
        if (!v)
            return UsageError(QStringLiteral("%1 needs a value").arg(arg));

        if (arg == QLatin1String("--device")) {
            line.device = *v;
        } else if (arg == QLatin1String("--link")) {
            line.link = *v;
        } else if (arg == QLatin1String("--memory")) {
            memoryPath = *v;
        } else if (arg == QLatin1String("--save")) {
            line.savePath = *v;
        } else if (arg == QLatin1String("--code")) {
            const std::optional<int> code = v->size() <= 5 ? ParseInt(*v, 0, 99999) : std::nullopt;
            if (!code)
                return UsageError(QStringLiteral("--code needs up to five digits, such as 58206"));
            config.accessCode = *code;
        } else if (arg == QLatin1String("--baud")) {
            const std::optional<int> baud = ParseInt(*v, 0, 4000000);
            if (!baud)
                return UsageError(
                    QStringLiteral("--baud needs bits per second, such as 9600 (0: no pacing)"));
            config.baud = *baud;
        } else if (arg == QLatin1String("--preamble")) {
            const std::optional<int> n = ParseInt(*v, 1, 64);
            if (!n)
                return UsageError(QStringLiteral("--preamble needs a number of FE bytes from 1 to 64"));
            config.preamble = *n;
        } else if (arg == QLatin1String("--turnaround")) {
            const std::optional<int> ms = ParseInt(*v, 0, 60000);
            if (!ms)
                return UsageError(QStringLiteral("--turnaround needs milliseconds from 0 to 60000"));
            config.turnaroundMs = *ms;
        } else { // --fault
            if (const std::optional<QString> error = ParseUnitFault(*v, config.faults))
                return UsageError(*error);
        }
    }
    if (!line.device.isEmpty() && !line.link.isEmpty())
        return UsageError(
            QStringLiteral("--device and --link cannot be combined: --link names a new pseudo-terminal"));
    if (!line.device.isEmpty() && config.baud == 0)
        return UsageError(
            QStringLiteral("--device needs a real line speed; --baud 0 is for pseudo-terminals"));

    if (!line.savePath.isEmpty()) {
        // A write never changes the unit's starting memory, so --save must name another file.
        if (!memoryPath.isEmpty() && SameFile(line.savePath, memoryPath))
            return UsageError(QStringLiteral("--save must name another file than --memory"));
        // Found now, not after the first complete write, which the program would take as saved.
        if (const Result<> target = CheckSaveTarget(line.savePath); !target) {
            Print(stderr, QStringLiteral("vireo-unit-sim: cannot save to %1: %2\n").arg(line.savePath, target.error()));
            return 2;
        }
    }
    if (memoryPath.isEmpty()) {
        config.memory = FactoryMemory();
    } else {
        UnitModel model;
        const Result<LoadStatus> loaded = LoadDataFile(memoryPath, model);
        if (!loaded) {
            Print(stderr,
                  QStringLiteral("vireo-unit-sim: cannot open %1: %2\n").arg(memoryPath, loaded.error()));
            return 2;
        }
        if (*loaded == LoadStatus::Illegal) {
            Print(stderr, QStringLiteral("vireo-unit-sim: %1 is not a settings file (99 lines of four "
                                         "hexadecimal digits)\n")
                              .arg(memoryPath));
            return 2;
        }
        config.memory = model.UnitImage;
    }

    UnitSimulator unit(config);
    return RunUnitLine(line, unit);
}
