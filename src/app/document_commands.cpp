// SPDX-License-Identifier: GPL-3.0-or-later
// Each command reads the editor first, so an edit still in a focused field is
// part of what is saved or asked about; a failure leaves the document alone.
#include "document_commands.h"

#include "base/file_paths.h"
#include "model/settings_file.h"

namespace vireo {

DocumentCommands::DocumentCommands(ProgramState &state, FieldBinding &binding, UserDialogs &dialogs,
                                   RecentFileMenu &menu, QString initialFilePath,
                                   std::function<void(const QString &)> setCaption)
    : m_state(state), m_binding(binding), m_dialogs(dialogs), m_menu(menu),
      m_initialFilePath(std::move(initialFilePath)), m_setCaption(std::move(setCaption))
{
}

QString DocumentCommands::SetupFileDialog() const
{
    // The folder of the last file opened or saved under a new name; none
    // before the first, so the dialog starts where the platform chooses.
    return m_lastFile.isEmpty() ? QString() : AbsoluteFolderOf(m_lastFile);
}

void DocumentCommands::ShowDocument()
{
    Document &document = m_state.document;
    m_setCaption(document.UpdateCaption());
    AddRecentFile(m_state.options, document.CurrentFileName, document.HasFileName, m_menu);
}

bool DocumentCommands::SaveTo(const QString &path)
{
    // The saver marks the document clean only once the file is in place, so
    // a failed save keeps the edits flagged.
    const Result<> saved = SaveDataFile(path, m_state.model);
    if (saved)
        return true;
    ShowFileError(m_dialogs, FileErrorCode::CannotSave, path, saved.error());
    return false;
}

Answer DocumentCommands::QuerySaveChanges()
{
    Document &document = m_state.document;
    if (!document.DataEdited())
        return AnswerYes;
    const Answer answer = document.ConfirmPrompt(PromptKind::SaveChanges, m_dialogs);
    if (answer != AnswerYes)
        return answer;
    if (document.HasFileName) {
        if (!SaveTo(document.CurrentFileName))
            return AnswerCancel;
    } else {
        const std::optional<QString> path =
            m_dialogs.SaveFileName(document.CurrentFileName, SetupFileDialog());
        if (!path || !SaveTo(*path))
            return AnswerCancel;
        m_lastFile = *path;
        document.SetFileName(*path);
    }
    ShowDocument();
    return answer;
}

void DocumentCommands::NewDocument()
{
    // Cannot open: said aloud rather than ignored, the new document could not be made.
    if (const auto loaded = LoadDocument(m_initialFilePath, FileErrorCode::CannotOpenInitial,
                                         FileErrorCode::IllegalInitial)) {
        if (*loaded) {
            m_state.document.SetUntitled();
            m_binding.NormalizeAndShow();
        }
        ShowDocument();
    }
}

void DocumentCommands::OpenFile(const QString &path)
{
    if (const auto loaded = LoadDocument(path, FileErrorCode::CannotOpen, FileErrorCode::IllegalData)) {
        if (*loaded) {
            m_lastFile = path;
            m_state.document.SetFileName(path);
            m_binding.NormalizeAndShow();
        }
        ShowDocument();
    }
}

std::optional<bool> DocumentCommands::LoadDocument(const QString &path, FileErrorCode cannotOpen,
                                                   FileErrorCode illegal)
{
    if (QuerySaveChanges() == AnswerCancel)
        return std::nullopt;
    const Result<LoadOutcome> loaded = LoadDataFile(path, m_state.model);
    if (!loaded) {
        ShowFileError(m_dialogs, cannotOpen, path, loaded.error());
        return std::nullopt;
    }
    if (*loaded == LoadStatus::Illegal) {
        ShowFileError(m_dialogs, illegal, path, loaded->problem);
        return false;
    }
    return true;
}

void DocumentCommands::SaveAs()
{
    // No suffix is added: a name typed without one is saved as typed.
    const std::optional<QString> path =
        m_dialogs.SaveFileName(m_state.document.CurrentFileName, SetupFileDialog());
    if (!path || !SaveTo(*path))
        return;
    m_lastFile = *path;
    m_state.document.SetFileName(*path);
    ShowDocument();
}

void DocumentCommands::Save()
{
    if (SaveTo(m_state.document.CurrentFileName))
        ShowDocument();
}

void DocumentCommands::DoFileCommand(FileCommand command, QString recentPath)
{
    m_binding.ReadAllFields();
    if (command == FileCommand::Save && !m_state.document.HasFileName)
        command = FileCommand::SaveAs;
    switch (command) {
    case FileCommand::New:
        NewDocument();
        return;
    case FileCommand::Open:
        // The file is chosen before the question whether to save.
        if (const std::optional<QString> path = m_dialogs.OpenFileName(QString(), SetupFileDialog()))
            OpenFile(*path);
        return;
    case FileCommand::Save:
        Save();
        return;
    case FileCommand::SaveAs:
        SaveAs();
        return;
    case FileCommand::ReopenRecent:
        break;
    }
    if (recentPath.isEmpty())
        ShowDocument();
    else
        OpenFile(recentPath);
}

} // namespace vireo
