// SPDX-License-Identifier: GPL-3.0-or-later
// The open document: its file name, the caption that shows it, and the three
// confirmation prompts. Whether it was edited lives in the unit model, next to
// the image it is compared with.
#pragma once

#include "model/settings_file.h"
#include "model/unit_model.h"
#include "profile/recent_files.h"
#include "user_dialogs.h"

namespace vireo {

inline constexpr char UntitledName[] = "Untitled";

enum class PromptKind { SaveChanges = 0, CloneWrite = 1, CloneReadEdited = 2 };

/** Document state: CurrentFileName, HasFileName, and DataEdited through the model. */
class Document {
  public:
    explicit Document(UnitModel &model) : m_model(model) {}

    QString CurrentFileName = QString::fromLatin1(UntitledName);
    bool HasFileName = false;

    bool DataEdited() const { return m_model.DataEdited; }
    void MarkClean() { m_model.MarkClean(); }
    void CheckEdited() { m_model.CheckEdited(); }
    void SetUntitled();
    void SetFileName(const QString &path);
    /// The main window caption: the file's name without folder and extension, " - Vireo".
    QString UpdateCaption() const;
    /// The text of a confirmation prompt of the given kind.
    QString PromptText(PromptKind kind) const;
    /// Asks the prompt; returns the button pressed.
    Answer ConfirmPrompt(PromptKind kind, UserDialogs &dialogs) const;

  private:
    UnitModel &m_model;
};

/// Shows a settings-file error box.
void ShowFileError(UserDialogs &dialogs, FileErrorCode code, const QString &fileName,
                   const QString &reason = {});

} // namespace vireo
