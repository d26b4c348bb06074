// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli read and write: the window's clone run without the window. The
// same CloneSession runs to its end in a local event loop; a read reaches its
// file only when complete, a write can be preceded by a backup and checked.
#include "cli_common.h"
#include "clone/clone_errors.h"
#include "clone/clone_session.h"
#include "clone/clone_trace.h"
#include "clone/qt_serial_port.h"
#include "profile/profile_location.h"
#include "profile/program_options.h"
#include "profile/serial_devices.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <algorithm>
#include <cstdio>
#include <memory>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

namespace vireo::cli {

namespace {

const QString ReadUsage = QStringLiteral("vireo-cli read [--port PORT] [--code NNNNN] [--speed BPS] "
                                         "[--profile FILE] [--trace FILE] [--quiet] -o FILE.st2");
const QString WriteUsage = QStringLiteral(
    "vireo-cli write FILE.st2 [--port PORT] [--code NNNNN] [--speed BPS] [--profile FILE] [--trace FILE] "
    "[--quiet] [--verify] [--backup DIR]");

const QString CommonHelp = QStringLiteral(
    "  --port PORT     COM1 to COM4, mapped to devices by the profile (see 'vireo-cli ports'),\n"
    "                  or a device path; default: the profile's Port\n"
    "  --code NNNNN    the unit's clone access code (default 58206)\n"
    "  --speed BPS     line speed in bits per second (default: the profile's Speed)\n"
    "  --profile FILE  the profile to take Port, Speed and [PORTS] from\n"
    "  --trace FILE    write every frame sent and every byte received, as hex, to FILE\n"
    "  --quiet         no progress bar on the terminal, no summary line\n");
const QString ExitHelp = QStringLiteral(
    "Exit status: 0 done; 1 wrong call; 2 file error; 10 to 19 the clone run failed\n"
    "(10 + its result: 10 port, 11 overflow, 12 port did not send, 13 no answer, 14 illegal data,\n"
    "15 no unit, 16 unknown unit, 17 access code, 18 too much data, 19 not enough data);\n"
    "130 interrupted (the unit was told to leave cloning).\n");
const QString ReadHelp = QStringLiteral(
    "Reads the unit's 99 words over the cloning cable into FILE.st2, exactly as received.\n"
    "The file is created or replaced only after a complete read; a failed read leaves it as it was.\n");
const QString WriteHelp = QStringLiteral(
    "Writes FILE.st2 to the unit, as the window would after opening it. No confirmation is asked.\n"
    "  --verify        read the unit back afterwards and compare all 99 words (exit 4 on a difference)\n"
    "  --backup DIR    first read the unit into DIR/<date>-<time>.st2; nothing is written if that fails\n");

// The access code the window starts with.
constexpr std::int32_t DefaultAccessCode = 58206;
constexpr int InterruptedStatus = 130;

/** Everything read and write take from the command line. */
struct CloneOptions {
    std::optional<QString> profileFile;
    QString port; ///< as given: COM1..COM4 or a device path; empty for the profile's Port
    std::optional<qint32> speed;
    std::int32_t accessCode = DefaultAccessCode;
    QString traceFile;
    bool quiet = false;
    QString output; ///< read: the file to write
    QString input;  ///< write: the file to send
    bool verify = false;
    QString backupDir;
};

/** The serial device a run opens, and the COM number its messages name (0: none). */
struct PortTarget {
    QString device;
    int comNumber = 0;
    qint32 speed = 9600;
};

// "COM" and digits, in any letter case: meant as a COM port, not a device.
bool IsComName(const QString &port)
{
    if (port.size() < 4 || !port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return false;
    return std::all_of(port.begin() + 3, port.end(), [](QChar c) { return c.isDigit(); });
}

// "COM3" (any letter case) gives 3; anything else 0.
int ComNumberOf(const QString &port)
{
    if (port.size() != 4 || !port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return 0;
    const int n = port.at(3).digitValue();
    return n >= 1 && n <= ComPortCount ? n : 0;
}

// The device and speed of the run; nullopt (message printed) when no --port
// is given and the profile, which would name the port, cannot be read.
std::optional<PortTarget> ResolvePort(const CloneOptions &options)
{
    clsLynProfileIO profile = OpenProfile(options.profileFile);
    if (ReportProfileRead(profile.GetMyProfile()) == ProfileReadStatus::Unreadable && options.port.isEmpty()) {
        Err() << "vireo-cli: without a readable profile the port is unknown: give --port\n";
        return std::nullopt;
    }
    ProgramOptions programOptions;
    LoadOptions(profile, programOptions);
    const auto devices = SerialDevicePaths(profile);

    PortTarget target;
    target.speed = options.speed.value_or(programOptions.ComSpeed);
    const QString port =
        options.port.isEmpty() ? QStringLiteral("COM%1").arg(programOptions.ComPortNumber) : options.port;
    if (const int n = ComNumberOf(port)) {
        target.comNumber = n;
        target.device = devices[n - 1];
        return target;
    }
    target.device = port;
    // A device path that a COM port maps to is named as that port.
    for (int n = 1; n <= ComPortCount; ++n)
        if (devices[n - 1] == port)
            target.comNumber = n;
    return target;
}

// Takes the value of an option given as "--name VALUE" or "--name=VALUE".
bool TakeValue(const QStringList &args, qsizetype &i, const QString &name, QString &value, bool &missing)
{
    const QString &arg = args.at(i);
    if (arg.startsWith(name + QLatin1Char('='))) {
        value = arg.mid(name.size() + 1);
        missing = value.isEmpty();
        return true;
    }
    if (arg != name)
        return false;
    if (i + 1 >= args.size()) {
        missing = true;
        return true;
    }
    value = args.at(++i);
    missing = value.isEmpty();
    return true;
}

// Parses the options shared by read and write, and the ones of `mode`.
int ParseOptions(const QStringList &args, CloneMode mode, CloneOptions &o)
{
    const QString &usage = mode == CloneMode::Read ? ReadUsage : WriteUsage;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString arg = args.at(i);
        QString value;
        bool missing = false;
        const auto takes = [&](const QString &name) { return TakeValue(args, i, name, value, missing); };
        if (takes(QStringLiteral("--port"))) {
            o.port = value;
            if (!missing && ComNumberOf(value) == 0 && IsComName(value))
                return UsageError(QStringLiteral("PORT is COM1 to COM4 or a device path"), usage);
        } else if (takes(QStringLiteral("--profile"))) {
            o.profileFile = value;
        } else if (takes(QStringLiteral("--code"))) {
            bool ok = false;
            const int code = value.toInt(&ok);
            if (!missing && (!ok || code < 0 || code > 99999 || value.size() > 5))
                return UsageError(QStringLiteral("--code takes the unit's access code, 0 to 99999"), usage);
            o.accessCode = code;
        } else if (takes(QStringLiteral("--speed"))) {
            bool ok = false;
            const int speed = value.toInt(&ok);
            if (!missing && (!ok || speed <= 0))
                return UsageError(QStringLiteral("--speed takes bits per second, e.g. 9600"), usage);
            o.speed = speed;
        } else if (takes(QStringLiteral("--trace"))) {
            o.traceFile = value;
        } else if (arg == QLatin1String("--quiet") || arg == QLatin1String("-q")) {
            o.quiet = true;
        } else if (mode == CloneMode::Read &&
                   (takes(QStringLiteral("-o")) || takes(QStringLiteral("--output")))) {
            if (!o.output.isEmpty())
                return UsageError(QStringLiteral("only one output file"), usage);
            o.output = value;
        } else if (mode == CloneMode::Write && arg == QLatin1String("--verify")) {
            o.verify = true;
        } else if (mode == CloneMode::Write && takes(QStringLiteral("--backup"))) {
            o.backupDir = value;
        } else if (mode == CloneMode::Write && !arg.startsWith(QLatin1Char('-')) && o.input.isEmpty()) {
            o.input = arg;
        } else {
            return UsageError(QStringLiteral("unexpected argument '%1'").arg(arg), usage);
        }
        if (missing)
            return UsageError(QStringLiteral("%1 needs a value").arg(arg.section(QLatin1Char('='), 0, 0)),
                              usage);
    }
    if (mode == CloneMode::Read && o.output.isEmpty())
        return UsageError(QStringLiteral("no output file given (-o FILE.st2)"), usage);
    if (mode == CloneMode::Write && o.input.isEmpty())
        return UsageError(QStringLiteral("no settings file given"), usage);
    return o.profileFile ? CheckProfileFile(*o.profileFile) : ExitOk;
}

/** The clone progress bar on standard error, drawn only on a terminal. */
class ConsoleProgress {
  public:
    explicit ConsoleProgress(bool enabled) : m_enabled(enabled) {}
    void Start(const QString &label)
    {
        m_label = label;
        m_value = -1;
        m_drawn = false;
        Set(0);
    }
    void Set(int value)
    {
        if (!m_enabled || value == m_value)
            return;
        m_value = value;
        constexpr int Width = 40;
        const int filled = value * Width / ProgressMaximum;
        Err() << '\r' << m_label.leftJustified(8) << " [" << QString(filled, QLatin1Char('#'))
              << QString(Width - filled, QLatin1Char(' ')) << "] " << QString::number(value).rightJustified(3)
              << '%';
        Err().flush();
        m_drawn = true;
    }
    /// Ends the bar's line, so that messages start on a line of their own.
    void Finish()
    {
        if (m_enabled && m_drawn) {
            Err() << '\n';
            Err().flush();
        }
        m_drawn = false;
    }

  private:
    bool m_enabled;
    QString m_label;
    int m_value = -1;
    bool m_drawn = false;
};

/**
 * Ctrl+C or SIGTERM during a run ends it the way closing the progress window
 * does: F-ABORT is sent so the unit leaves cloning, then the port is closed.
 * The signals are taken through a signalfd, so no handler and no global state.
 */
class InterruptWatch {
  public:
    InterruptWatch()
    {
#ifdef Q_OS_LINUX
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGINT);
        sigaddset(&m_set, SIGTERM);
        if (sigprocmask(SIG_BLOCK, &m_set, &m_old) != 0)
            return;
        m_fd = signalfd(-1, &m_set, SFD_CLOEXEC | SFD_NONBLOCK);
        if (m_fd < 0) {
            sigprocmask(SIG_SETMASK, &m_old, nullptr);
            return;
        }
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
            signalfd_siginfo info;
            while (::read(m_fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
                m_interrupted = true;
            if (m_session)
                m_session->Cancel();
        });
#endif
    }
    ~InterruptWatch()
    {
#ifdef Q_OS_LINUX
        m_notifier.reset();
        if (m_fd >= 0) {
            ::close(m_fd);
            // Signals that came in are left pending, so restoring the mask lets
            // them end the program as usual.
            sigprocmask(SIG_SETMASK, &m_old, nullptr);
        }
#endif
    }
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    void Watch(CloneSession *session)
    {
        m_session = session;
    }
    bool Interrupted() const
    {
        return m_interrupted;
    }

  private:
#ifdef Q_OS_LINUX
    sigset_t m_set{};
    sigset_t m_old{};
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
#endif
    CloneSession *m_session = nullptr;
    bool m_interrupted = false;
};

/** Runs clone runs on one port, with the trace, progress bar and messages they share. */
class CloneRunner {
  public:
    CloneRunner(const PortTarget &target, const CloneOptions &options)
        : m_target(target), m_options(options), m_progress(!options.quiet && ::isatty(fileno(stderr)))
    {
    }

    /// The runner for these options, its port resolved and its trace open;
    /// nullptr (message printed, status set) when either fails.
    static std::unique_ptr<CloneRunner> Prepare(const CloneOptions &options, int &status)
    {
        const std::optional<PortTarget> target = ResolvePort(options);
        if (!target) {
            status = ExitFile;
            return nullptr;
        }
        auto runner = std::make_unique<CloneRunner>(*target, options);
        status = runner->OpenTrace();
        if (status != ExitOk)
            return nullptr;
        return runner;
    }

    /// Opens the trace file when one was asked for; ExitOk or ExitFile.
    int OpenTrace()
    {
        if (m_options.traceFile.isEmpty())
            return ExitOk;
        if (!m_trace.Open(m_options.traceFile)) {
            Err() << "vireo-cli: cannot write the trace " << m_options.traceFile << " ("
                  << m_trace.ErrorText() << ")" << Qt::endl;
            return ExitFile;
        }
        return ExitOk;
    }

    /// One clone run to its end. A read leaves the unit's words in model.LoadBuffer.
    CloneResult Run(CloneMode mode, UnitModel &model, const QString &label)
    {
        CloneSession session(model, m_port, m_clock);
        if (m_trace.IsOpen())
            session.SetTrace(&m_trace);
        QObject::connect(&session, &CloneSession::progress, &session, [this](int value) { m_progress.Set(value); });
        m_interrupt.Watch(&session);
        m_progress.Start(label);
        const CloneRequest request{mode, m_target.device, m_target.speed, m_options.accessCode};
        const CloneResult result = RunCloneToEnd(session, request);
        m_interrupt.Watch(nullptr);
        m_progress.Finish();
        m_sentBlocks = session.SentBlocks();
        m_portError = session.PortErrorText();
        return result;
    }

    /// Reports a run that did not complete; returns its exit status.
    int Failed(CloneResult result, const QString &what)
    {
        if (result == CloneResult::Cancelled || m_interrupt.Interrupted()) {
            Err() << "vireo-cli: " << what << " interrupted; the unit was told to leave cloning" << Qt::endl;
            return InterruptedStatus;
        }
        Err() << "vireo-cli: " << what << " failed on " << m_target.device;
        if (m_target.comNumber > 0)
            Err() << " (COM" << m_target.comNumber << ')';
        Err() << " at " << m_target.speed << " bit/s\n" << MessageText(result);
        if (!m_portError.isEmpty())
            Err() << "Reason: " << m_portError << '\n';
        Err().flush();
        return CloneExitStatus(result);
    }

    /// Whether the last run got as far as sending blocks to the unit.
    bool SentBlocks() const { return m_sentBlocks; }
    bool Quiet() const { return m_options.quiet; }
    const PortTarget &Target() const { return m_target; }

  private:
    // The window's message; it names the COM port, or the device when no COM
    // port maps to it. Printed with the terminal's line ends.
    QString MessageText(CloneResult result) const
    {
        QStringList lines = CloneErrorText(result, m_target.comNumber).split(QStringLiteral("\r\n"));
        if (result == CloneResult::PortFailed && m_target.comNumber == 0)
            lines[0] = QStringLiteral("Cannot access %1.").arg(m_target.device);
        return lines.join(QLatin1Char('\n'));
    }

    PortTarget m_target;
    const CloneOptions &m_options;
    QtSerialPort m_port;
    SteadyCloneClock m_clock;
    CloneTrace m_trace;
    ConsoleProgress m_progress;
    InterruptWatch m_interrupt;
    bool m_sentBlocks = false;
    QString m_portError;
};

QString PortName(const PortTarget &target)
{
    if (target.comNumber > 0)
        return QStringLiteral("COM%1 (%2)").arg(target.comNumber).arg(target.device);
    return target.device;
}

// DIR/<date>-<time>.st2 that does not exist yet.
QString BackupPath(const QString &folder)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = JoinPath(folder, stamp + QStringLiteral(".st2"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = JoinPath(folder, QStringLiteral("%1-%2.st2").arg(stamp).arg(n));
    return path;
}

QString Hex4(std::uint16_t value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

// The unit's words into a file: the file is replaced only once it is complete.
int SaveWords(const UnitWords &words, const QString &path)
{
    UnitModel model;
    model.UnitImage = words;
    const SaveResult saved = SaveDataFile(path, model);
    if (!saved.ok)
        return FileError(FileErrorCode::CannotSave, path, saved.reason);
    return ExitOk;
}

} // namespace

int RunRead(const QStringList &args)
{
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        Out() << "usage: " << ReadUsage << '\n' << ReadHelp << CommonHelp << ExitHelp;
        return ExitOk;
    }
    CloneOptions options;
    if (const int status = ParseOptions(args, CloneMode::Read, options))
        return status;
    if (const QString problem = SaveTargetProblem(options.output); !problem.isEmpty())
        return FileError(FileErrorCode::CannotSave, options.output, problem);

    int status = ExitOk;
    const std::unique_ptr<CloneRunner> runner = CloneRunner::Prepare(options, status);
    if (!runner)
        return status;
    UnitModel model;
    const CloneResult result = runner->Run(CloneMode::Read, model, QStringLiteral("reading"));
    if (result != CloneResult::ReadComplete)
        return runner->Failed(result, QStringLiteral("read"));
    // The file gets the unit's words exactly as received.
    if (const int status = SaveWords(model.LoadBuffer, options.output))
        return status;
    if (!options.quiet)
        Out() << "Read " << PortName(runner->Target()) << " into " << options.output << '\n';
    return ExitOk;
}

int RunWrite(const QStringList &args)
{
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        Out() << "usage: " << WriteUsage << '\n'
              << WriteHelp << CommonHelp << ExitHelp
              << "4 --verify found words that differ (listed on standard error).\n";
        return ExitOk;
    }
    CloneOptions options;
    if (const int status = ParseOptions(args, CloneMode::Write, options))
        return status;

    // The image the window would send after opening this file.
    Editor editor;
    if (const int status = editor.Load(options.input))
        return status;
    editor.binding.ReadAllFields();

    QString backupPath;
    if (!options.backupDir.isEmpty()) {
        // The folder is made only once there is a backup to put in it.
        backupPath = BackupPath(options.backupDir);
        if (const QString problem = SaveTargetProblem(backupPath, true); !problem.isEmpty())
            return FileError(FileErrorCode::CannotSave, backupPath, problem);
    }

    int status = ExitOk;
    const std::unique_ptr<CloneRunner> runner = CloneRunner::Prepare(options, status);
    if (!runner)
        return status;

    if (!backupPath.isEmpty()) {
        UnitModel backup;
        const CloneResult result = runner->Run(CloneMode::Read, backup, QStringLiteral("backup"));
        if (result != CloneResult::ReadComplete) {
            const int status = runner->Failed(result, QStringLiteral("backup read"));
            Err() << "vireo-cli: nothing was written to the unit" << Qt::endl;
            return status;
        }
        if (!QDir().mkpath(options.backupDir)) {
            const int status = FileError(FileErrorCode::CannotSave, options.backupDir,
                                         QStringLiteral("cannot create the folder"));
            Err() << "vireo-cli: nothing was written to the unit" << Qt::endl;
            return status;
        }
        if (const int status = SaveWords(backup.LoadBuffer, backupPath)) {
            Err() << "vireo-cli: nothing was written to the unit" << Qt::endl;
            return status;
        }
        if (!options.quiet)
            Out() << "Saved the unit's settings in " << backupPath << '\n';
    }

    const CloneResult written = runner->Run(CloneMode::Write, editor.model, QStringLiteral("writing"));
    if (written != CloneResult::WriteComplete) {
        const int status = runner->Failed(written, QStringLiteral("write"));
        if (runner->SentBlocks())
            Err() << "vireo-cli: the unit may hold part of the new settings; write it again" << Qt::endl;
        return status;
    }
    if (!options.quiet)
        Out() << "Wrote " << options.input << " to " << PortName(runner->Target()) << '\n';
    if (!options.verify)
        return ExitOk;

    UnitModel check;
    const CloneResult readBack = runner->Run(CloneMode::Read, check, QStringLiteral("verify"));
    if (readBack != CloneResult::ReadComplete)
        return runner->Failed(readBack, QStringLiteral("verify read"));
    int differing = 0;
    for (int w = 0; w < word::Count; ++w) {
        const auto i = static_cast<std::size_t>(w);
        if (check.LoadBuffer[i] == editor.model.UnitImage[i])
            continue;
        if (differing++ == 0)
            Err() << "vireo-cli: verify failed: the unit holds other words than were written\n";
        Err() << QStringLiteral("word %1: wrote %2, unit has %3\n")
                     .arg(w, 2)
                     .arg(Hex4(editor.model.UnitImage[i]), Hex4(check.LoadBuffer[i]));
    }
    Err().flush();
    if (differing > 0)
        return ExitVerify;
    if (!options.quiet)
        Out() << "Verified: the unit holds all " << word::Count << " words as written\n";
    return ExitOk;
}

} // namespace vireo::cli
