// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli write: the window's clone write without the window, in three
// steps: an optional backup read, the write, an optional verify read. No step
// starts after one failed or after Ctrl+C.
#include "base/file_paths.h"
#include "cli_common.h"
#include "clone/clone_errors.h"
#include "clone_runner.h"
#include "model/hex_text.h"
#include "path_checks.h"
#include "profile/profile_location.h"

#include <QDir>
#include <QFileInfo>

namespace vireo::cli {

QString CloneHelpEpilogue();
int SaveWords(const UnitWords &words, const QString &path);

namespace {

int NothingWritten(int status)
{
    Err() << "vireo-cli: nothing was written to the unit" << Qt::endl;
    return status;
}

class WriteCommand : public Command {
  public:
    WriteCommand()
        : Command(QStringLiteral("write"),
                  QStringLiteral(
                      "write FILE.st2 [--port PORT] [--verify] [--backup DIR]  write a settings file to "
                      "the unit"))
    {
        m_syntax.usage =
            QStringLiteral("vireo-cli write FILE.st2 [--port PORT] [--code NNNNN] [--speed BPS] "
                           "[--profile FILE] [--trace FILE] [--quiet] [--verify] [--backup DIR]");
        m_syntax.about = QStringLiteral(
            "Writes FILE.st2 to the unit, as the window would after opening it. No confirmation is asked.\n");
        m_syntax.epilogue =
            CloneHelpEpilogue() +
            QStringLiteral("4 --verify found words that differ (listed on standard error).\n");
        m_syntax.options = SharedCloneOptions();
        m_syntax.options.append(
            {QStringLiteral("verify"),
             QStringLiteral(
                 "read the unit back afterwards and compare all 99 words (exit 4 on a difference)")});
        m_syntax.options.append(
            {QStringLiteral("backup"),
             QStringLiteral(
                 "first read the unit into DIR/<date>-<time>.st2; nothing is written if that fails"),
             QStringLiteral("DIR")});
        m_syntax.minArguments = m_syntax.maxArguments = 1;
        m_syntax.missingArguments = QStringLiteral("no settings file given");
    }

  protected:
    int Execute(const QCommandLineParser &parser) override
    {
        const QString input = parser.positionalArguments().first();
        const Result<CloneOptions> options =
            TakeCloneOptions(parser, input, QStringLiteral("--trace names the settings file to write"));
        if (!options)
            return WrongCall(options.error());
        const QString backupDir = parser.value(QStringLiteral("backup"));
        if (const int status = CheckProfileFile(options->profileFile))
            return status;

        // The image the window would send after opening this file.
        Editor editor;
        if (const int status = editor.Load(input))
            return status;
        editor.binding.ReadAllFields();

        QString backupPath;
        if (!backupDir.isEmpty()) {
            // The folder is made only once there is a backup to put in it.
            backupPath = NewBackupPath(backupDir);
            if (!options->traceFile.isEmpty() && tool::SameFile(options->traceFile, backupPath))
                return WrongCall(QStringLiteral("--trace names the backup file"));
            if (const Result<> target = CheckSaveTarget(backupPath, true); !target)
                return FileError(FileErrorCode::CannotSave, backupPath, target.error());
        }

        const std::unique_ptr<CloneRunner> runner = CloneRunner::PrepareForCommand(*options);
        if (!runner)
            return ExitFile;
        int status = backupPath.isEmpty() ? int(ExitOk) : BackupUnit(*runner, backupPath);
        if (status == ExitOk)
            status = WriteUnit(*runner, editor.model, input);
        if (status == ExitOk && parser.isSet(QStringLiteral("verify")))
            status = VerifyUnit(*runner, editor.model.UnitImage);
        return runner->Finish(status);
    }
};

} // namespace

int BackupUnit(CloneRunner &runner, const QString &backupPath)
{
    UnitModel backup;
    const CloneResult result = runner.Run(CloneMode::Read, backup, QStringLiteral("backup"));
    if (result != CloneResult::ReadComplete)
        return NothingWritten(runner.Failed(result, QStringLiteral("backup read")));
    const QString folder = QDir::fromNativeSeparators(FolderOf(backupPath, PathSeparators::System));
    if (!QDir().mkpath(folder))
        return NothingWritten(
            FileError(FileErrorCode::CannotSave, folder, QStringLiteral("cannot create the folder")));
    if (const int status = SaveWords(backup.LoadBuffer, backupPath))
        return NothingWritten(status);
    if (!runner.Quiet())
        Out() << "Saved the unit's settings in " << backupPath << '\n';
    return ExitOk;
}

int WriteUnit(CloneRunner &runner, UnitModel &image, const QString &input)
{
    const CloneResult written = runner.Run(CloneMode::Write, image, QStringLiteral("writing"));
    if (written == CloneResult::WriteComplete) {
        if (!runner.Quiet())
            Out() << "Wrote " << input << " to " << PortName(runner.Target()) << '\n';
        return ExitOk;
    }
    const int status = runner.Failed(written, QStringLiteral("write"));
    if (runner.MovedBlocks())
        Err() << "vireo-cli: " << PartialWriteText() << Qt::endl;
    else
        NothingWritten(status);
    return status;
}

int VerifyUnit(CloneRunner &runner, const UnitWords &written)
{
    UnitModel check;
    const CloneResult readBack = runner.Run(CloneMode::Read, check, QStringLiteral("verify"));
    if (readBack != CloneResult::ReadComplete)
        return runner.Failed(readBack, QStringLiteral("verify read"));
    int differing = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (check.LoadBuffer[i] == written[i])
            continue;
        if (differing++ == 0)
            Err() << "vireo-cli: verify failed: the unit holds other words than were written\n";
        Err() << QStringLiteral("word %1: wrote %2, unit has %3\n")
                     .arg(i, 2)
                     .arg(WordHexText(written[i]), WordHexText(check.LoadBuffer[i]));
    }
    Err().flush();
    if (differing > 0)
        return ExitVerify;
    if (!runner.Quiet())
        Out() << "Verified: the unit holds all " << written.size() << " words as written\n";
    return ExitOk;
}

std::unique_ptr<Command> MakeWriteCommand()
{
    return std::make_unique<WriteCommand>();
}

} // namespace vireo::cli
