// SPDX-License-Identifier: GPL-3.0-or-later
// The program-level clone command.
#include "clone_command.h"

#include "clone/clone_errors.h"

namespace vireo {

CloneOutcome CloneCommand::StartClone(CloneMode mode, const ClonePortChoice &port, std::int32_t accessCode)
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
    } else if (m_document.DataEdited()) {
        if (m_document.ConfirmPrompt(PromptKind::CloneReadEdited, m_dialogs) == AnswerCancel)
            return {};
    }

    std::optional<CloneResult> result;
    const auto onProgress = QObject::connect(&m_session, &CloneSession::progress, &m_session,
                                             [this](int value) { m_view.SetValue(value); });
    const auto onFinished =
        QObject::connect(&m_session, &CloneSession::finished, &m_session, [this, &result](CloneResult r) {
            result = r;
            m_view.Close();
        });

    if (m_session.StartClone({mode, port.device, port.speed, accessCode}) && !result) {
        if (!m_view.ShowModal())
            m_session.EndEarly(CloneResult::PortFailed);
        // The run never goes on without its window.
        else if (m_session.CloneActive())
            m_session.Cancel();
    }
    QObject::disconnect(onProgress);
    QObject::disconnect(onFinished);
    if (!result)
        result = m_session.LastResult().value_or(CloneResult::PortFailed);

    CloneOutcome outcome;
    outcome.result = result;
    if (*result == CloneResult::ReadComplete) {
        m_model.CommitLoadBuffer();
        m_binding.NormalizeAndShow();
        m_document.SetUntitled();
        outcome.caption = m_document.UpdateCaption();
    } else if (IsCloneError(*result)) {
        m_dialogs.MessageBox(CloneErrorText(*result, port.portNumber), Buttons::Ok);
    }
    return outcome;
}

} // namespace vireo
