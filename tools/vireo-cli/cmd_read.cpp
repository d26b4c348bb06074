// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli read: the window's clone read without the window. The unit's
// words reach the file only when the read is complete, exactly as received.
#include "cli_common.h"
#include "clone_runner.h"

namespace vireo::cli {

QString CloneHelpEpilogue()
{
    return QStringLiteral(
        "Exit status: 0 done; 1 wrong call; 2 file error; 10 to 19 the clone run failed\n"
        "(10 + its result: 10 port, 11 overflow, 12 port did not send, 13 no answer, 14 illegal data,\n"
        "15 no unit, 16 unknown unit, 17 access code, 18 too much data, 19 not enough data);\n"
        "130 interrupted (the unit was told to leave cloning).\n");
}

int SaveWords(const UnitWords &words, const QString &path)
{
    UnitModel model;
    model.UnitImage = words;
    if (const Result<> saved = SaveDataFile(path, model); !saved)
        return FileError(FileErrorCode::CannotSave, path, saved.error());
    return ExitOk;
}

namespace {

class ReadCommand : public Command {
  public:
    ReadCommand()
        : Command(QStringLiteral("read"),
                  QStringLiteral(
                      "read [--port PORT] -o FILE.st2  read the unit into a settings file (read --help)"))
    {
        m_syntax.usage = QStringLiteral("vireo-cli read [--port PORT] [--code NNNNN] [--speed BPS] "
                                        "[--profile FILE] [--trace FILE] [--quiet] -o FILE.st2");
        m_syntax.about = QStringLiteral(
            "Reads the unit's 99 words over the cloning cable into FILE.st2, exactly as received.\n"
            "The file is created or replaced only after a complete read; a failed read leaves it as it "
            "was.\n");
        m_syntax.epilogue = CloneHelpEpilogue();
        m_syntax.options = SharedCloneOptions();
        m_syntax.options.append({{QStringLiteral("o"), QStringLiteral("output")},
                                 QStringLiteral("the settings file to create or replace"),
                                 QStringLiteral("FILE.st2")});
    }

  protected:
    int Execute(const QCommandLineParser &parser) override
    {
        const QString output = parser.value(QStringLiteral("o"));
        const Result<CloneOptions> options =
            TakeCloneOptions(parser, output, QStringLiteral("--trace and -o name the same file"));
        if (!options)
            return WrongCall(options.error());
        if (output.isEmpty())
            return WrongCall(QStringLiteral("no output file given (-o FILE.st2)"));
        if (const int status = CheckProfileFile(options->profileFile))
            return status;
        if (const Result<> target = CheckSaveTarget(output); !target)
            return FileError(FileErrorCode::CannotSave, output, target.error());

        const std::unique_ptr<CloneRunner> runner = CloneRunner::PrepareForCommand(*options);
        if (!runner)
            return ExitFile;
        UnitModel model;
        const CloneResult result = runner->Run(CloneMode::Read, model, QStringLiteral("reading"));
        if (result != CloneResult::ReadComplete)
            return runner->Finish(runner->Failed(result, QStringLiteral("read")));
        if (const int status = SaveWords(model.LoadBuffer, output))
            return runner->Finish(status);
        if (!options->quiet)
            Out() << "Read " << PortName(runner->Target()) << " into " << output << '\n';
        return runner->Finish(ExitOk);
    }
};

} // namespace

std::unique_ptr<Command> MakeReadCommand()
{
    return std::make_unique<ReadCommand>();
}

} // namespace vireo::cli
