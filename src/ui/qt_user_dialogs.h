// SPDX-License-Identifier: GPL-3.0-or-later
// The user dialogs with real Qt dialogs: message boxes titled "Vireo" with
// the exclamation icon, and the file dialogs for data files.
#pragma once

#include "app/user_dialogs.h"

class QWidget;

namespace vireo {

/** UserDialogs shown over a parent window (none before the main window exists). */
class QtUserDialogs : public UserDialogs {
  public:
    explicit QtUserDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget *parent) { m_parent = parent; }

    Answer MessageBox(const QString &text, Buttons buttons) override;
    std::optional<QString> OpenFileName(const QString &startName, const QString &startFolder) override;
    std::optional<QString> SaveFileName(const QString &startName, const QString &startFolder) override;

  private:
    QWidget *m_parent;
};

} // namespace vireo
