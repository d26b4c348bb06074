// SPDX-License-Identifier: GPL-3.0-or-later
// The program-level clone command.
#include "clone_command.h"

#include "base/program_folders.h"
#include "clone/clone_errors.h"
#include "clone/port_listing.h"
#include "model/settings_file.h"

#include <QDir>
#include <QStringList>
#include <QTimer>

namespace vireo {

namespace {

bool Completed(CloneResult result)
{
    return result == CloneResult::ReadComplete || result == CloneResult::WriteComplete;
}

QString Shown(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("(empty)") : value;
}

} // namespace

/** How a run of stages ended. */
struct CloneCommand::StagesEnd {
    CloneStage stage = CloneStage::Reading; ///< the stage that ran last
    std::optional<CloneResult> result;      ///< its result
    bool done = false;                      ///< the stages ended (the window was told to close)
    bool complete = false;                  ///< every stage completed
    bool movedBlocks = false;               ///< the write sent blocks to the unit
    QString failure;                        ///< a follow-up that failed (a backup that was not kept)
    QString backupPath;                     ///< the backup kept
    std::vector<ImageDifference> checkDifferences;
};

QString ClonePortDetail(const ClonePortChoice &port, const QString &portError)
{
    if (!portError.isEmpty())
        return portError;
    return QStringLiteral("%1 at %2 bit/s").arg(ComPortLabel(port.portNumber, port.device)).arg(port.speed);
}

QString CheckDifferenceText(const std::vector<ImageDifference> &differences)
{
    QStringList lines;
    for (const ImageDifference &d : differences)
        lines.append(QStringLiteral("%1: unit %2, written %3")
                         .arg(d.word ? d.key : d.caption, Shown(d.left), Shown(d.right)));
    return lines.join(QLatin1Char('\n'));
}

void CloneCommand::Cancel()
{
    m_cancelled = true;
    m_session.Cancel();
}

CloneCommand::StagesEnd CloneCommand::RunStages(const std::vector<CloneStage> &stages,
                                                const ClonePortChoice &port, std::int32_t accessCode,
                                                const QString &backupFolder)
{
    StagesEnd end;
    m_cancelled = false;
    std::size_t next = 0;
    const auto start = [&] {
        end.stage = stages[next];
        // A single read or write shows the bar alone.
        if (stages.size() > 1)
            m_view.SetStage(end.stage);
        const CloneMode mode = end.stage == CloneStage::Writing ? CloneMode::Write : CloneMode::Read;
        return m_session.StartClone({mode, port.device, port.speed, accessCode});
    };
    // Timers started here die with it, so none outlives the command.
    QObject context;
    const auto onProgress = QObject::connect(&m_session, &CloneSession::progress, &context, [&](int value) {
        m_view.SetValue(value);
        if (end.stage == CloneStage::Writing)
            end.movedBlocks = true; // the bar moves only for blocks sent
    });
    const auto onFinished =
        QObject::connect(&m_session, &CloneSession::finished, &context, [&](CloneResult result) {
            end.result = result;
            if (Completed(result))
                end.failure = AfterStage(end, backupFolder);
            if (Completed(result) && end.failure.isEmpty() && ++next < stages.size()) {
                // The next run starts once the session has finished this one.
                QTimer::singleShot(0, &context, [&] {
                    if (!m_cancelled)
                        start();
                });
                return;
            }
            end.done = true;
            end.complete = Completed(result) && end.failure.isEmpty();
            if (end.complete && end.stage == CloneStage::Checking && end.checkDifferences.empty())
                m_view.ShowFinished(QStringLiteral("Checked: the unit holds these settings."));
            else
                m_view.Close();
        });

    if (start() && !end.done) {
        if (!m_view.ShowModal())
            m_session.EndEarly(CloneResult::PortFailed);
        // The run never goes on without its window.
        else if (m_session.CloneActive())
            m_session.Cancel();
    }
    QObject::disconnect(onProgress);
    QObject::disconnect(onFinished);
    if (!end.done) {
        // The window closed between two runs, or a run ended without a word.
        end.done = true;
        end.result =
            m_cancelled ? CloneResult::Cancelled : m_session.LastResult().value_or(CloneResult::PortFailed);
    }
    return end;
}

QString CloneCommand::AfterStage(StagesEnd &end, const QString &backupFolder)
{
    if (end.stage == CloneStage::Checking) {
        end.checkDifferences =
            CompareImages(DecodedModel(m_model.LoadBuffer), DecodedModel(m_model.UnitImage));
        return {};
    }
    if (end.stage != CloneStage::BackingUp)
        return {};
    // The unit's settings as read, kept before anything is sent.
    const QString path = NewBackupPath(backupFolder);
    UnitModel backup;
    backup.UnitImage = m_model.LoadBuffer;
    Result<> saved = QDir().mkpath(backupFolder)
                         ? SaveDataFile(path, backup)
                         : Result<>(Failure{QStringLiteral("cannot create the folder")});
    if (!saved)
        return FileErrorText(FileErrorCode::CannotSave, path) + QStringLiteral("\n\n") + saved.error();
    end.backupPath = path;
    return {};
}

void CloneCommand::ReportFailure(const StagesEnd &end, const ClonePortChoice &port)
{
    QStringList parts;
    const bool cloneError = end.result && IsCloneError(*end.result);
    if (!end.failure.isEmpty())
        parts << end.failure;
    else if (cloneError)
        parts << CloneErrorText(*end.result, port.portNumber)
              << ClonePortDetail(port, m_session.PortErrorText());
    if (end.stage == CloneStage::BackingUp && (cloneError || !end.failure.isEmpty()))
        parts << QStringLiteral("The unit's settings could not be kept, so nothing was written to the unit.");
    if (end.stage == CloneStage::Checking && cloneError)
        parts << QStringLiteral(
            "The settings were written, but the unit could not be read back to check them.");
    if (end.stage == CloneStage::Writing && end.movedBlocks && !end.complete)
        parts << PartialWriteText();
    if (end.complete && !end.checkDifferences.empty())
        parts << QStringLiteral("The unit does not hold the settings as written:\n\n") +
                     CheckDifferenceText(end.checkDifferences) +
                     QStringLiteral("\n\nWrite the settings to the unit again.");
    if (!parts.isEmpty())
        m_dialogs.MessageBox(parts.join(QStringLiteral("\n\n")), Buttons::Ok);
}

CloneOutcome CloneCommand::InstallRead()
{
    CloneOutcome outcome;
    outcome.result = CloneResult::ReadComplete;
    m_model.CommitLoadBuffer();
    m_binding.NormalizeAndShow();
    m_document.SetUntitled();
    outcome.caption = m_document.UpdateCaption();
    return outcome;
}

CloneOutcome CloneCommand::StartClone(CloneMode mode, const ClonePortChoice &port, std::int32_t accessCode,
                                      const WriteSafety &safety)
{
    // One run at a time: a second command while one runs does nothing at all
    // (no prompt, no error box naming a port).
    if (m_session.InRun())
        return {};
    // The image must hold what the editor shows, also an edit still in a field.
    m_binding.ReadAllFields();
    if (mode == CloneMode::Write) {
        if (m_document.ConfirmPrompt(PromptKind::CloneWrite, m_dialogs) == AnswerCancel)
            return {};
        return Write(port, accessCode, safety, !safety.backupFolder.isEmpty());
    }
    if (m_document.DataEdited() &&
        m_document.ConfirmPrompt(PromptKind::CloneReadEdited, m_dialogs) == AnswerCancel)
        return {};
    const StagesEnd end = RunStages({CloneStage::Reading}, port, accessCode, {});
    if (end.complete)
        return InstallRead();
    ReportFailure(end, port);
    return {end.result, std::nullopt, {}};
}

CloneOutcome CloneCommand::Write(const ClonePortChoice &port, std::int32_t accessCode,
                                 const WriteSafety &safety, bool backupRead)
{
    std::vector<CloneStage> stages;
    if (backupRead)
        stages.push_back(CloneStage::BackingUp);
    stages.push_back(CloneStage::Writing);
    if (safety.check)
        stages.push_back(CloneStage::Checking);
    const StagesEnd end = RunStages(stages, port, accessCode, safety.backupFolder);
    ReportFailure(end, port);
    // A checked write ends with the check's read; the command was a write.
    return {end.complete ? CloneResult::WriteComplete : end.result, std::nullopt, end.backupPath};
}

std::optional<UnitWords> CloneCommand::ReadForCompare(const ClonePortChoice &port, std::int32_t accessCode)
{
    if (m_session.InRun())
        return std::nullopt;
    m_binding.ReadAllFields();
    const StagesEnd end = RunStages({CloneStage::Reading}, port, accessCode, {});
    if (!end.complete) {
        ReportFailure(end, port);
        return std::nullopt;
    }
    return m_model.LoadBuffer;
}

CloneOutcome CloneCommand::WriteAfterCompare(const ClonePortChoice &port, std::int32_t accessCode,
                                             const UnitWords &unitWords, const WriteSafety &safety)
{
    if (m_session.InRun())
        return {};
    m_binding.ReadAllFields();
    // The comparison's read is the backup: kept before anything is sent.
    StagesEnd kept;
    kept.stage = CloneStage::BackingUp;
    m_model.LoadBuffer = unitWords;
    kept.failure = AfterStage(kept, safety.backupFolder);
    if (!kept.failure.isEmpty()) {
        ReportFailure(kept, port);
        return {};
    }
    CloneOutcome outcome = Write(port, accessCode, safety, false);
    outcome.backupPath = kept.backupPath;
    return outcome;
}

CloneOutcome CloneCommand::OpenUnitWords(const UnitWords &words)
{
    m_binding.ReadAllFields();
    if (m_document.DataEdited() &&
        m_document.ConfirmPrompt(PromptKind::CloneReadEdited, m_dialogs) == AnswerCancel)
        return {};
    m_model.LoadBuffer = words;
    return InstallRead();
}

} // namespace vireo
