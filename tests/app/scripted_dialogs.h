// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs that record every message box and file dialog and answer from a script.
#pragma once

#include "app/user_dialogs.h"

#include <QList>
#include <QStringList>

namespace vireo::test {

class ScriptedDialogs : public UserDialogs {
  public:
    Answer next = AnswerOk;
    QStringList texts;
    QList<Buttons> buttons;
    /// Answers of the file dialogs, in turn; with none left a dialog is cancelled.
    QStringList files;
    /// Every file dialog shown, as "Open|start name|start folder" or "Save|...".
    QStringList fileDialogs;

    Answer MessageBox(const QString &text, Buttons b) override
    {
        texts.append(text);
        buttons.append(b);
        return next;
    }
    std::optional<QString> OpenFileName(const QString &name, const QString &folder) override
    {
        return FileDialog(QStringLiteral("Open"), name, folder);
    }
    std::optional<QString> SaveFileName(const QString &name, const QString &folder) override
    {
        return FileDialog(QStringLiteral("Save"), name, folder);
    }

  private:
    std::optional<QString> FileDialog(const QString &kind, const QString &name, const QString &folder)
    {
        fileDialogs.append(QStringList{kind, name, folder}.join(QLatin1Char('|')));
        return files.isEmpty() ? std::nullopt : std::optional<QString>(files.takeFirst());
    }
};

} // namespace vireo::test
