// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli compare: reads the unit and lists what differs from a settings
// file, as diff lists two files (the unit on the left); nothing is written
// to the unit or to any file.
#include "cli_common.h"
#include "clone_runner.h"

#include "model/image_compare.h"

namespace vireo::cli {

QString CloneHelpEpilogue();

namespace {

class CompareCommand : public Command {
  public:
    CompareCommand()
        : Command(
              QStringLiteral("compare"),
              QStringLiteral("compare FILE.st2 [--port PORT]  list what differs between the unit and a file"))
    {
        m_syntax.usage =
            QStringLiteral("vireo-cli compare FILE.st2 [--port PORT] [--code NNNNN] [--speed BPS] "
                           "[--profile FILE] [--trace FILE] [--quiet]");
        m_syntax.about = QStringLiteral(
            "Reads the unit and compares it with FILE.st2 as 'diff UNIT FILE.st2' would: the fields that\n"
            "differ by caption (unit -> file), then the words no listed field shows. Nothing is written.\n");
        m_syntax.epilogue =
            QStringLiteral("Exit status: 0 the unit holds these settings; 1 different; 2 file "
                           "error or wrong call;\n10 to 19 the clone run failed (as for "
                           "read); 130 interrupted.\n");
        m_syntax.options = SharedCloneOptions();
        m_syntax.minArguments = m_syntax.maxArguments = 1;
        m_syntax.missingArguments = QStringLiteral("no settings file given");
        m_syntax.usageStatus = ExitFile;
    }

  protected:
    int Execute(const QCommandLineParser &parser) override
    {
        const QString input = parser.positionalArguments().first();
        const Result<CloneOptions> options =
            TakeCloneOptions(parser, input, QStringLiteral("--trace names the settings file to compare"));
        if (!options)
            return WrongCall(options.error());
        if (const int status = CheckProfileFile(options->profileFile))
            return status;
        Editor file;
        if (const int status = file.Load(input))
            return status;

        const std::unique_ptr<CloneRunner> runner = CloneRunner::PrepareForCommand(*options);
        if (!runner)
            return ExitFile;
        UnitModel read;
        const CloneResult result = runner->Run(CloneMode::Read, read, QStringLiteral("reading"));
        if (result != CloneResult::ReadComplete)
            return runner->Finish(runner->Failed(result, QStringLiteral("read")));
        // What Clone Read would show in the window.
        const std::vector<ImageDifference> differences =
            CompareImages(ShownModel(read.LoadBuffer), file.model);
        PrintDifferences(differences);
        if (differences.empty() && !options->quiet)
            Out() << "The unit holds these settings.\n";
        return runner->Finish(differences.empty() ? int(ExitOk) : ExitDifferent);
    }
};

} // namespace

std::unique_ptr<Command> MakeCompareCommand()
{
    return std::make_unique<CompareCommand>();
}

} // namespace vireo::cli
