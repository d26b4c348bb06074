// SPDX-License-Identifier: GPL-3.0-or-later
// The Clone Read and Clone Write commands: take the editor's contents, ask
// for confirmation, run the clone behind the modal progress window, then
// install a completed read or show the one error message. A write may be
// preceded by a backup read and followed by a check read, all behind the one
// window; a write that ends after blocks went out always says so.
#pragma once

#include "clone/clone_session.h"
#include "document.h"
#include "model/field_binding.h"
#include "model/image_compare.h"
#include "user_dialogs.h"

#include <QString>
#include <optional>
#include <vector>

namespace vireo {

/// What the unit and the program are doing, as the progress window says it.
enum class CloneStage { Reading, BackingUp, Writing, Checking };

/** The "Cloning" progress window as the clone command uses it. */
class CloneProgressView {
  public:
    virtual ~CloneProgressView() = default;
    /// Shows the window modally and returns once Close() was called or the
    /// user closed it; false when it could not be shown at all.
    virtual bool ShowModal() = 0;
    /// Moves the bar (0..100).
    virtual void SetValue(int value) = 0;
    /// Says which stage runs; the bar starts again from 0.
    virtual void SetStage(CloneStage stage) = 0;
    /// Shows the final text for a moment, then closes by itself.
    virtual void ShowFinished(const QString &text) = 0;
    /// Closes the window, ending the modal wait.
    virtual void Close() = 0;
};

/** The serial port chosen for the run. */
struct ClonePortChoice {
    int portNumber = 1; ///< COM1..COM4, named by the message of result 0
    QString device;     ///< the serial device that COM port maps to
    qint32 speed = 9600;
};

/** What a write does besides sending the image. */
struct WriteSafety {
    bool check = false;   ///< read the unit back afterwards and compare all 99 words
    QString backupFolder; ///< read the unit first and keep its settings there; empty for none
};

/** How a clone command ended. */
struct CloneOutcome {
    /// The last run's result; none when a confirmation was cancelled and nothing ran.
    std::optional<CloneResult> result;
    /// The new main window caption after a completed read.
    std::optional<QString> caption;
    /// The settings file the unit's settings were kept in before a write.
    QString backupPath;
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
    CloneOutcome StartClone(CloneMode mode, const ClonePortChoice &port, std::int32_t accessCode,
                            const WriteSafety &safety = {});
    /// Reads the unit for a comparison, changing nothing: the unit's words,
    /// or none after a failure (its message shown) or a cancel.
    std::optional<UnitWords> ReadForCompare(const ClonePortChoice &port, std::int32_t accessCode);
    /// The write a comparison leads to: the unit's words it read are kept as
    /// the backup first (nothing is sent when that fails), then the write and
    /// its check as for StartClone, without the confirmation.
    CloneOutcome WriteAfterCompare(const ClonePortChoice &port, std::int32_t accessCode,
                                   const UnitWords &unitWords, const WriteSafety &safety);
    /// Installs words read from the unit as a completed Clone Read does,
    /// after the same question when the document was edited.
    CloneOutcome OpenUnitWords(const UnitWords &words);
    /// The user closed the progress window: the run ends early, without a message.
    void Cancel();

  private:
    struct StagesEnd;
    /// Runs the stages one after another behind one progress window; stops
    /// at the first that does not complete or whose follow-up fails.
    StagesEnd RunStages(const std::vector<CloneStage> &stages, const ClonePortChoice &port,
                        std::int32_t accessCode, const QString &backupFolder);
    /// After a completed run: keeps the backup, or compares the check read
    /// with the image written; the reason when keeping the backup failed.
    QString AfterStage(StagesEnd &end, const QString &backupFolder);
    CloneOutcome Write(const ClonePortChoice &port, std::int32_t accessCode, const WriteSafety &safety,
                       bool backupRead);
    void ReportFailure(const StagesEnd &end, const ClonePortChoice &port);
    CloneOutcome InstallRead();

    UnitModel &m_model;
    FieldBinding &m_binding;
    Document &m_document;
    UserDialogs &m_dialogs;
    CloneSession &m_session;
    CloneProgressView &m_view;
    bool m_cancelled = false; ///< the user closed the progress window during this command
};

/// The message that follows the fixed text of a clone error: the port, its
/// device and speed, or the system's reason where the port failed.
QString ClonePortDetail(const ClonePortChoice &port, const QString &portError);

/// The lines of a failed check: each differing field as "caption: unit X, written Y".
QString CheckDifferenceText(const std::vector<ImageDifference> &differences);

} // namespace vireo
