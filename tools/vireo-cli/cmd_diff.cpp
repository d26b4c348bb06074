// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli diff: what differs between two settings files, compared as show
// prints them (each loaded and normalised as the window would): the fields by
// caption, then every differing word that no differing field shows.
#include "cli_common.h"
#include "model/image_compare.h"

namespace vireo::cli {

namespace {

class DiffCommand : public Command {
  public:
    DiffCommand()
        : Command(
              QStringLiteral("diff"),
              QStringLiteral(
                  "diff A.st2 B.st2              list differing fields and words of two normalised files"))
    {
        m_syntax.usage = QStringLiteral("vireo-cli diff A.st2 B.st2");
        m_syntax.about = QStringLiteral(
            "Compares two settings files as 'show' prints them: each file is loaded and normalised\n"
            "as the window would, then the fields that differ are listed by caption, followed by the\n"
            "words no listed field shows (the carried words 0, 1, 4, 21, 24, 41 and 98, and any other).\n");
        m_syntax.epilogue =
            QStringLiteral("Exit status: 0 equal, 1 different, 2 a file cannot be read or a wrong call.\n");
        m_syntax.minArguments = m_syntax.maxArguments = 2;
        m_syntax.missingArguments = QStringLiteral("two settings files are needed");
        m_syntax.usageStatus = ExitFile;
    }

  protected:
    int Execute(const QCommandLineParser &parser) override;
};

int DiffCommand::Execute(const QCommandLineParser &parser)
{
    const QStringList files = parser.positionalArguments();
    Editor a, b;
    if (a.Load(files[0]) != ExitOk || b.Load(files[1]) != ExitOk)
        return ExitFile;

    const std::vector<ImageDifference> differences = CompareImages(a.model, b.model);
    PrintDifferences(differences);
    return differences.empty() ? int(ExitOk) : ExitDifferent;
}

} // namespace

std::unique_ptr<Command> MakeDiffCommand()
{
    return std::make_unique<DiffCommand>();
}

} // namespace vireo::cli
