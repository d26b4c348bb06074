// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs that record every message box and answer from a script.
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

    Answer MessageBox(const QString &text, Buttons b) override
    {
        texts.append(text);
        buttons.append(b);
        return next;
    }
    std::optional<QString> OpenFileName(const QString &) override { return std::nullopt; }
    std::optional<QString> SaveFileName(const QString &) override { return std::nullopt; }
};

} // namespace vireo::test
