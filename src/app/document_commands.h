// SPDX-License-Identifier: GPL-3.0-or-later
// The document commands New, Open, Save, Save As and the reopening of a
// recent file, and the question whether to save an edited document first.
#pragma once

#include "model/field_binding.h"
#include "profile/recent_files.h"
#include "program_state.h"
#include "user_dialogs.h"

#include <QString>
#include <functional>

namespace vireo {

/// The document commands; ReopenRecent reopens a file of the recent-file list.
enum class FileCommand { New, Open, Save, SaveAs, ReopenRecent };

/**
 * Runs the document commands against the program state, the editor binding,
 * the user's dialogs and the menu's recent-file entries. A command
 * that is cancelled or fails leaves the document as it was.
 */
class DocumentCommands {
  public:
    DocumentCommands(ProgramState &state, FieldBinding &binding, UserDialogs &dialogs, RecentFileMenu &menu,
                     QString initialFilePath, std::function<void(const QString &)> setCaption);

    /// Asks whether to save an edited document and saves on Yes. Answers
    /// Cancel whenever the save did not happen, so the caller abandons its
    /// command; Yes when there was nothing to save.
    Answer QuerySaveChanges();

    /// Runs one command; `recentPath` is the file ReopenRecent reopens, as
    /// its recent-file entry carries it (empty: the entry names no file);
    /// a copy, as reopening rewrites the list it may come from.
    void DoFileCommand(FileCommand command, QString recentPath = QString());

  private:
    QString SetupFileDialog() const;
    void NewDocument();
    void OpenFile(const QString &path);
    /// After the save question, loads path into the image: true when loaded,
    /// false when illegal (reported; the caption step still runs), nothing
    /// when cancelled or not opened (reported; nothing more runs).
    std::optional<bool> LoadDocument(const QString &path, FileErrorCode cannotOpen, FileErrorCode illegal);
    void SaveAs();
    void Save();
    /// Saves to path, or shows "Cannot save file." and gives false.
    bool SaveTo(const QString &path);
    /// The steps that end every command that got through: caption and recent files.
    void ShowDocument();

    ProgramState &m_state;
    FieldBinding &m_binding;
    UserDialogs &m_dialogs;
    RecentFileMenu &m_menu;
    QString m_initialFilePath;
    std::function<void(const QString &)> m_setCaption;
    /// The last file opened or saved under a new name; the next file dialog
    /// starts in its folder.
    QString m_lastFile;
};

} // namespace vireo
