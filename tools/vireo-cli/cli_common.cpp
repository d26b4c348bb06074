// SPDX-License-Identifier: GPL-3.0-or-later
// The command objects' common part, the program's dispatch to them and the
// helpers every command uses.
#include "cli_common.h"
#include "profile/profile_location.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace vireo::cli {

namespace {

QTextStream *CurrentOut = nullptr;
QTextStream *CurrentErr = nullptr;

const QString Program = QStringLiteral("vireo-cli");

QString ProgramHelp()
{
    QString text =
        QStringLiteral("usage: vireo-cli COMMAND [ARGS]   (vireo-cli COMMAND --help for its options)\n"
                       "       vireo-cli --help | --version\ncommands:\n");
    for (const auto &command : AllCommands())
        text += QStringLiteral("  ") + command->Summary() + QLatin1Char('\n');
    return text;
}

} // namespace

QTextStream &Out()
{
    static QTextStream stream(stdout);
    return CurrentOut ? *CurrentOut : stream;
}

QTextStream &Err()
{
    static QTextStream stream(stderr);
    return CurrentErr ? *CurrentErr : stream;
}

OutputCapture::OutputCapture() : m_oldOut(CurrentOut), m_oldErr(CurrentErr)
{
    CurrentOut = &m_outStream;
    CurrentErr = &m_errStream;
}

OutputCapture::~OutputCapture()
{
    CurrentOut = m_oldOut;
    CurrentErr = m_oldErr;
}

QString OutputCapture::Out()
{
    m_outStream.flush();
    return m_out;
}

QString OutputCapture::Err()
{
    m_errStream.flush();
    return m_err;
}

void PrintDifferences(const std::vector<ImageDifference> &differences)
{
    for (const ImageDifference &d : differences)
        Out() << qSetFieldWidth(14) << Qt::left << d.key << qSetFieldWidth(0) << d.caption << ": " << d.left
              << " -> " << d.right << '\n';
}

int FileError(FileErrorCode code, const QString &path, const QString &reason)
{
    Err() << FileErrorMessage(code) << ' ' << path;
    if (!reason.isEmpty())
        Err() << " (" << reason << ')';
    Err() << Qt::endl;
    return ExitFile;
}

ProfileView ReadProfile(const std::optional<QString> &profileFile)
{
    ProfileFile profile = OpenProfile(profileFile);
    ProfileView view;
    view.path = profile.FilePath();
    LoadOptions(profile, view.options);
    view.devices = SerialDevicePaths(profile);
    view.readFallback = profile.ReadFallback();
    return view;
}

QCommandLineOption ProfileOption()
{
    return QCommandLineOption(QStringLiteral("profile"),
                              QStringLiteral("the profile to read instead of the usual one"),
                              QStringLiteral("FILE"));
}

std::optional<QString> NamedProfile(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("profile")))
        return std::nullopt;
    return parser.value(QStringLiteral("profile"));
}

int CheckProfileFile(const std::optional<QString> &path)
{
    // A mistyped name would otherwise give the defaults, and a clone command
    // could then open another port than the one the user meant.
    if (!path)
        return ExitOk;
    const QFileInfo info(*path);
    if (info.exists() && !info.isDir())
        return ExitOk;
    Err() << "vireo-cli: cannot use profile " << *path << ": "
          << (info.exists() ? "a folder" : "no such file") << Qt::endl;
    return ExitFile;
}

ProfileReadStatus ReportProfileRead(const QString &path)
{
    // A profile that cannot be read whole is used as far as it was read, and
    // the program never saves over it; say so, or the options used mislead.
    const ProfileFileRead read = ReadProfileFile(path);
    if (read.status == ProfileReadStatus::TooLarge)
        Err() << "vireo-cli: " << path << " is larger than " << ProfileReadLimit
              << " bytes: only the lines before that size are read, and options are never saved to it\n";
    else if (read.status == ProfileReadStatus::Unreadable)
        Err() << "vireo-cli: " << path << " cannot be read (" << read.reason
              << "): defaults are used, and options are never saved to it\n";
    return read.status;
}

int Editor::Load(const QString &path)
{
    const Result<LoadOutcome> result = LoadDataFile(path, model);
    if (!result)
        return FileError(FileErrorCode::CannotOpen, path, result.error());
    if (*result == LoadStatus::Illegal)
        return FileError(FileErrorCode::IllegalData, path, result->problem);
    // As Open does: the loaded image is the saved state, then it is shown.
    model.MarkClean();
    binding.NormalizeAndShow();
    return ExitOk;
}

Command::Command(const QString &name, const QString &summary) : m_name(name), m_summary(summary)
{
    m_syntax.program = Program;
}

int Command::Run(const QStringList &args)
{
    QCommandLineParser parser;
    if (const std::optional<int> status = tool::ParseCommandLine(parser, m_syntax, args, Out(), Err()))
        return *status;
    const int status = Execute(parser);
    Out().flush();
    Err().flush();
    return status;
}

int Command::WrongCall(const QString &message) const
{
    return tool::UsageError(m_syntax, message, Err());
}

std::vector<std::unique_ptr<Command>> AllCommands()
{
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(MakeShowCommand());
    commands.push_back(MakeSetCommand());
    commands.push_back(MakeConfigCommand());
    commands.push_back(MakeReadCommand());
    commands.push_back(MakeWriteCommand());
    commands.push_back(MakePortsCommand());
    commands.push_back(MakeDiffCommand());
    commands.push_back(MakeCompareCommand());
    return commands;
}

int RefuseUndecodableArguments(int argc, const char *const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) == raw)
            continue;
        Err() << Program << ": " << QString::fromLatin1(raw.toPercentEncoding("/.-_+=:,"))
              << " is not UTF-8 text, and would name a different file here; rename the file "
                 "(for example with convmv) and try again"
              << Qt::endl;
        return ExitFile;
    }
    return ExitOk;
}

int RunProgram(const QStringList &args)
{
    const QString first = args.value(0);
    const bool alone = args.size() == 1;
    if ((first == QLatin1String("--help") || first == QLatin1String("-h")) && alone) {
        Out() << ProgramHelp() << Qt::flush;
        return ExitOk;
    }
    if (first == QLatin1String("--version") && alone) {
        Out() << Program << ' ' << VIREO_VERSION << Qt::endl;
        return ExitOk;
    }
    if (first.startsWith(QLatin1Char('-'))) {
        Err() << Program << ": " << args.join(QLatin1Char(' '))
              << ": the program's own options are --help or --version, alone\n"
              << ProgramHelp() << Qt::flush;
        return ExitUsage;
    }
    for (const auto &command : AllCommands())
        if (command->Name() == first)
            return command->Run(args.mid(1));
    if (first.isEmpty())
        Err() << "vireo-cli: no command given\n";
    else
        Err() << "vireo-cli: unknown command '" << first << "'\n";
    Err() << ProgramHelp() << Qt::flush;
    return ExitUsage;
}

} // namespace vireo::cli
