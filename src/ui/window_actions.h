// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands as actions, one per command, shared by the menu
// bar and the toolbar: captions, shortcuts, pictures, tips and object names.
#pragma once

#include "profile/program_options.h"
#include "profile/serial_devices.h"

#include <QString>

#include <array>

class QAction;
class QActionGroup;
class QMenuBar;
class QToolBar;
class QWidget;

namespace vireo {

/** The window's actions; what each does is connected by the window. */
struct WindowActions {
    /// Actions owned by `window`; `portTips` are the COM1 to COM4 tool tips.
    WindowActions(QWidget *window, const std::array<QString, ComPortCount> &portTips);

    /// The menus File, View, COM Port and Clone.
    void AddToMenus(QMenuBar *menus) const;
    /// New, Open, Save, COM1 to COM4, Password, Read and Write.
    void AddToToolbar(QToolBar *toolbar) const;

    QAction *fileNew;
    QAction *fileOpen;
    QAction *fileSave;
    QAction *fileSaveAs;
    /// The recent-file entries 1 to 4; each carries the path it reopens as its data.
    std::array<QAction *, RecentFileCount> recentFiles;
    QAction *about;
    QAction *exit;
    QAction *viewToolbar;
    /// COM1 to COM4, one checked at a time.
    std::array<QAction *, ComPortCount> comPorts;
    QActionGroup *comPortGroup;
    QAction *clonePassword;
    QAction *cloneRead;
    QAction *cloneWrite;
    QAction *compareWithUnit;
    QAction *checkAfterWrite;   ///< checkable: read the unit back after every write
    QAction *backUpBeforeWrite; ///< checkable: keep the unit's settings before every write
    QAction *portSettings;
};

} // namespace vireo
