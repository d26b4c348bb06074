// SPDX-License-Identifier: GPL-3.0-or-later
// The Clone Read and Clone Write commands: take the editor's contents, ask
// for confirmation, run the clone behind the modal progress window, then
// install a completed read or show the one error message.
#pragma once

#include "clone/clone_session.h"
#include "document.h"
#include "model/field_binding.h"
#include "user_dialogs.h"

#include <QString>
#include <optional>

namespace vireo {

/** The "Cloning" progress window as the clone command uses it. */
class CloneProgressView {
  public:
    virtual ~CloneProgressView() = default;
    /// Shows the window modally and returns once Close() was called or the
    /// user closed it; false when it could not be shown at all.
    virtual bool ShowModal() = 0;
    /// Moves the bar (0..100).
    virtual void SetValue(int value) = 0;
    /// Closes the window, ending the modal wait.
    virtual void Close() = 0;
};

/** The serial port chosen for the run. */
struct ClonePortChoice {
    int portNumber = 1; ///< COM1..COM4, named by the message of result 0
    QString device;     ///< the serial device that COM port maps to
    qint32 speed = 9600;
};

/** How a clone command ended. */
struct CloneOutcome {
    /// The run's result; none when a confirmation was cancelled and nothing ran.
    std::optional<CloneResult> result;
    /// The new main window caption after a completed read.
    std::optional<QString> caption;
};

/** StartClone for the window: prompts, the modal run, and what follows it. */
class CloneCommand {
  public:
    CloneCommand(UnitModel &model, FieldBinding &binding, Document &document, UserDialogs &dialogs,
                 CloneSession &session, CloneProgressView &view)
        : m_model(model), m_binding(binding), m_document(document), m_dialogs(dialogs), m_session(session),
          m_view(view)
    {
    }

    /// Runs a read or a write and returns when the run has ended and the
    /// progress window is closed. The image and the document change only on a
    /// completed read. The caller then brings the main window to the front.
    CloneOutcome StartClone(CloneMode mode, const ClonePortChoice &port, std::int32_t accessCode);
    /// The user closed the progress window: the run ends early, without a message.
    void Cancel() { m_session.Cancel(); }

  private:
    UnitModel &m_model;
    FieldBinding &m_binding;
    Document &m_document;
    UserDialogs &m_dialogs;
    CloneSession &m_session;
    CloneProgressView &m_view;
};

} // namespace vireo
