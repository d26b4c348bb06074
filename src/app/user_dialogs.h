// SPDX-License-Identifier: GPL-3.0-or-later
// The user dialogs the program needs: message boxes titled "Vireo" with the
// exclamation icon, and the Open and Save file dialogs. The window implements
// them with real dialogs; tests use a scripted fake.
#pragma once

#include <QString>
#include <optional>

namespace vireo {

inline constexpr char AppTitle[] = "Vireo";

// Standard answer codes of a message box.
enum Answer { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

enum class Buttons { Ok, OkCancel, YesNoCancel };

/** Message boxes and file dialogs, as the program's logic asks for them. */
class UserDialogs {
  public:
    virtual ~UserDialogs() = default;
    /// Shows text with the given buttons; Escape or the close box answer Cancel.
    virtual Answer MessageBox(const QString &text, Buttons buttons) = 0;
    /// Open dialog for data files, showing startName in startFolder (either
    /// may be empty; a startName with a folder of its own keeps it); nothing
    /// when the user cancels.
    virtual std::optional<QString> OpenFileName(const QString &startName, const QString &startFolder) = 0;
    /// Save dialog for data files (asks before overwriting), started like the
    /// Open dialog; nothing on cancel.
    virtual std::optional<QString> SaveFileName(const QString &startName, const QString &startFolder) = 0;
};

} // namespace vireo
