// SPDX-License-Identifier: GPL-3.0-or-later
// A command on the toolbar shows its picture there and its caption in the
// menu; the button's text is the tool tip, as the menu's is the caption.
#include "window_actions.h"

#include "app/user_dialogs.h"
#include "base/latin1_text.h"
#include "menu_style.h"
#include "toolbar_pictures.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace vireo {

namespace {

QAction *NewAction(QWidget *window, const QString &name, const QString &caption)
{
    auto *action = new QAction(caption, window);
    action->setObjectName(name);
    return action;
}

// The toolbar's share of an action: its picture and tip; the menu keeps its items without pictures.
void ShowOnToolbar(QAction *action, ToolbarPictureId picture, const QString &tip)
{
    action->setIcon(ToolbarPicture(picture));
    action->setIconVisibleInMenu(false);
    action->setIconText(tip);
    action->setToolTip(tip);
}

} // namespace

WindowActions::WindowActions(QWidget *window, const std::array<QString, ComPortCount> &portTips)
    : fileNew(NewAction(window, QStringLiteral("fileNewAction"), Latin1Text("&New"))),
      fileOpen(NewAction(window, QStringLiteral("fileOpenAction"), Latin1Text("&Open..."))),
      fileSave(NewAction(window, QStringLiteral("fileSaveAction"), Latin1Text("&Save"))),
      fileSaveAs(NewAction(window, QStringLiteral("fileSaveAsAction"), Latin1Text("Save &As..."))),
      about(NewAction(window, QStringLiteral("aboutAction"),
                      QStringLiteral("&About ") + Latin1Text(AppTitle) + QStringLiteral("..."))),
      exit(NewAction(window, QStringLiteral("exitAction"), Latin1Text("E&xit"))),
      viewToolbar(NewAction(window, QStringLiteral("viewToolbarAction"), Latin1Text("&Toolbar"))),
      comPortGroup(new QActionGroup(window)),
      clonePassword(NewAction(window, QStringLiteral("clonePasswordAction"), Latin1Text("&Password"))),
      cloneRead(NewAction(window, QStringLiteral("cloneReadAction"), Latin1Text("&Read <- TR"))),
      cloneWrite(NewAction(window, QStringLiteral("cloneWriteAction"), Latin1Text("&Write -> TR"))),
      compareWithUnit(
          NewAction(window, QStringLiteral("compareWithUnitAction"), Latin1Text("Compare with &Unit..."))),
      checkAfterWrite(
          NewAction(window, QStringLiteral("checkAfterWriteAction"), Latin1Text("Check &After Write"))),
      backUpBeforeWrite(
          NewAction(window, QStringLiteral("backUpBeforeWriteAction"), Latin1Text("&Back Up Before Write"))),
      portSettings(NewAction(window, QStringLiteral("portSettingsAction"), Latin1Text("Port &Settings...")))
{
    fileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    fileSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ShowOnToolbar(fileNew, ToolbarPictureId::New, Latin1Text("New"));
    ShowOnToolbar(fileOpen, ToolbarPictureId::Open, Latin1Text("Open"));
    ShowOnToolbar(fileSave, ToolbarPictureId::Save, Latin1Text("Save"));
    for (int n = 1; n <= RecentFileCount; ++n)
        recentFiles[n - 1] = NewAction(window, QStringLiteral("recentFile%1Action").arg(n), QString());
    viewToolbar->setCheckable(true);
    checkAfterWrite->setCheckable(true);
    backUpBeforeWrite->setCheckable(true);

    // Clicking the checked port keeps it checked: the group never leaves none.
    comPortGroup->setExclusive(true);
    static const ToolbarPictureId pictures[ComPortCount] = {ToolbarPictureId::Com1, ToolbarPictureId::Com2,
                                                            ToolbarPictureId::Com3, ToolbarPictureId::Com4};
    for (int n = 1; n <= ComPortCount; ++n) {
        QAction *port =
            NewAction(window, QStringLiteral("comPort%1Action").arg(n), QStringLiteral("COM&%1").arg(n));
        port->setCheckable(true);
        ShowOnToolbar(port, pictures[n - 1], portTips[n - 1]);
        comPortGroup->addAction(port);
        comPorts[n - 1] = port;
    }

    ShowOnToolbar(clonePassword, ToolbarPictureId::AccessCode, Latin1Text("Clone Password"));
    ShowOnToolbar(cloneRead, ToolbarPictureId::CloneRead, Latin1Text("Clone Read"));
    ShowOnToolbar(cloneWrite, ToolbarPictureId::CloneWrite, Latin1Text("Clone Write"));
}

void WindowActions::AddToMenus(QMenuBar *menus) const
{
    QMenu *file = menus->addMenu(Latin1Text("&File"));
    file->addActions({fileNew, fileOpen, fileSave, fileSaveAs});
    file->addSeparator();
    for (QAction *recent : recentFiles)
        file->addAction(recent);
    file->addSeparator();
    file->addAction(about);
    file->addSeparator();
    file->addAction(exit);

    menus->addMenu(Latin1Text("&View"))->addAction(viewToolbar);

    QMenu *port = menus->addMenu(Latin1Text("COM &Port"));
    port->setToolTipsVisible(true);
    for (QAction *com : comPorts)
        port->addAction(com);

    QMenu *clone = menus->addMenu(Latin1Text("&Clone"));
    clone->addAction(clonePassword);
    clone->addSeparator();
    clone->addActions({cloneRead, cloneWrite});
    // The safe-write commands come after the clone commands.
    clone->addSeparator();
    clone->addAction(compareWithUnit);
    clone->addSeparator();
    clone->addActions({checkAfterWrite, backUpBeforeWrite});
    clone->addSeparator();
    clone->addAction(portSettings);

    auto *style = new MenuStyle(menus);
    for (QMenu *menu : {file, port, clone})
        menu->setStyle(style);
}

void WindowActions::AddToToolbar(QToolBar *toolbar) const
{
    toolbar->addActions({fileNew, fileOpen, fileSave});
    toolbar->addSeparator();
    for (QAction *com : comPorts)
        toolbar->addAction(com);
    toolbar->addSeparator();
    toolbar->addActions({clonePassword, cloneRead, cloneWrite});
}

} // namespace vireo
