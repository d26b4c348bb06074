// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: the menu tree and the toolbar, the COM port
// choice kept in step on both, the clone commands and the close request.
#include "about_box.h"
#include "access_code_dialog.h"
#include "clone_progress_dialog.h"
#include "main_window.h"

#include "base/latin1_text.h"
#include "toolbar_pictures.h"

#include "clone/port_listing.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace vireo {

void MainWindow::BuildMenus()
{
    QMenu *file = menuBar()->addMenu(Latin1Text("&File"));
    const auto command = [this](FileCommand which, int index = 0) {
        return [this, which, index] { m_commands.DoFileCommand(which, index); };
    };
    const struct {
        const char *caption;
        QKeySequence shortcut;
        FileCommand which;
    } commands[4] = {{"&New", QKeySequence(Qt::CTRL | Qt::Key_N), FileCommand::New},
                     {"&Open...", QKeySequence(Qt::CTRL | Qt::Key_O), FileCommand::Open},
                     {"&Save", QKeySequence(Qt::CTRL | Qt::Key_S), FileCommand::Save},
                     {"Save &As...", QKeySequence(), FileCommand::SaveAs}};
    for (int i = 0; i < 4; ++i) {
        m_fileItems[i] = file->addAction(Latin1Text(commands[i].caption));
        m_fileItems[i]->setShortcut(commands[i].shortcut);
        connect(m_fileItems[i], &QAction::triggered, this, command(commands[i].which));
    }
    m_fileItems[4] = file->addSeparator();
    for (int item = FirstRecentFileItem; item < FirstRecentFileItem + RecentFileCount; ++item) {
        m_fileItems[item] = file->addAction(QString());
        connect(m_fileItems[item], &QAction::triggered, this, command(FileCommand::ReopenRecent, item));
    }
    m_fileItems[9] = file->addSeparator();
    m_fileItems[AboutItem] = file->addAction(QString()); // captioned by LayoutMainWindow
    connect(m_fileItems[AboutItem], &QAction::triggered, this,
            [this] { AboutBox(frameGeometry(), this).exec(); });
    m_fileItems[11] = file->addSeparator();
    m_fileItems[ExitItem] = file->addAction(Latin1Text("E&xit"));
    connect(m_fileItems[ExitItem], &QAction::triggered, this, &QWidget::close);

    QMenu *view = menuBar()->addMenu(Latin1Text("&View"));
    m_toolbarAction = view->addAction(Latin1Text("&Toolbar"));
    m_toolbarAction->setCheckable(true);
    connect(m_toolbarAction, &QAction::triggered, this, &MainWindow::ToggleToolbar);

    QMenu *port = menuBar()->addMenu(Latin1Text("COM &Port"));
    port->setToolTipsVisible(true);
    const std::array<QString, ComPortCount> tips = PortTips();
    for (int n = 1; n <= ComPortCount; ++n) {
        m_comItems[n - 1] = port->addAction(QStringLiteral("COM&%1").arg(n));
        m_comItems[n - 1]->setCheckable(true);
        m_comItems[n - 1]->setToolTip(tips[n - 1]);
        connect(m_comItems[n - 1], &QAction::triggered, this, [this, n] { SelectComPort(n); });
    }

    QMenu *clone = menuBar()->addMenu(Latin1Text("&Clone"));
    connect(clone->addAction(Latin1Text("&Password")), &QAction::triggered, this,
            [this] { AccessCodeDialog(m_state.accessCode, frameGeometry(), this).exec(); });
    clone->addSeparator();
    connect(clone->addAction(Latin1Text("&Read <- TR")), &QAction::triggered, this,
            [this] { RunClone(CloneMode::Read); });
    connect(clone->addAction(Latin1Text("&Write -> TR")), &QAction::triggered, this,
            [this] { RunClone(CloneMode::Write); });
}

void MainWindow::BuildToolbar()
{
    const auto button = [this](const char *key, const QString &tip, const QString &picture) {
        QAction *action = m_toolbar->addAction(ToolbarPicture(picture), tip);
        action->setObjectName(Latin1Text(key));
        action->setToolTip(tip);
        return action;
    };
    const auto fileButton = [&](const char *key, const char *tip, const char *picture, FileCommand which) {
        connect(button(key, Latin1Text(tip), Latin1Text(picture)), &QAction::triggered, this,
                [this, which] { m_commands.DoFileCommand(which); });
    };
    fileButton("KeyNew", "New", "img_New", FileCommand::New);
    fileButton("KeyOpen", "Open", "img_Open", FileCommand::Open);
    fileButton("KeySave", "Save", "img_Save", FileCommand::Save);
    m_toolbar->addSeparator();
    for (int n = 1; n <= ComPortCount; ++n) {
        // The menu item's tip, worked out once: asking the system for its ports takes time.
        QAction *com = button(qPrintable(QStringLiteral("KeyCOM%1").arg(n)), m_comItems[n - 1]->toolTip(),
                              QStringLiteral("img_COM%1").arg(n));
        com->setCheckable(true);
        connect(com, &QAction::triggered, this, [this, n] { SelectComPort(n); });
        m_comButtons[n - 1] = com;
    }
    m_toolbar->addSeparator();
    connect(button("KeyPass", Latin1Text("Clone Password"), Latin1Text("img_Pass")), &QAction::triggered, this,
            [this] { AccessCodeDialog(m_state.accessCode, frameGeometry(), this).exec(); });
    connect(button("KeyRead", Latin1Text("Clone Read"), Latin1Text("img_Read")), &QAction::triggered, this,
            [this] { RunClone(CloneMode::Read); });
    connect(button("KeyWrite", Latin1Text("Clone Write"), Latin1Text("img_Write")), &QAction::triggered, this,
            [this] { RunClone(CloneMode::Write); });
}

std::array<QString, ComPortCount> MainWindow::PortTips() const
{
    // "COM3 (/dev/ttyUSB2): USB Serial Port"; on Windows "COM3: Communications Port".
    QStringList devices;
    for (int n = 1; n <= ComPortCount; ++n)
        devices.append(SerialDeviceFor(m_state.configuredPorts, n));
    const std::vector<std::optional<QString>> described = DescribePorts(devices);
    std::array<QString, ComPortCount> tips;
    for (int n = 1; n <= ComPortCount; ++n) {
        tips[n - 1] = ComPortLabel(n, devices[n - 1]);
        if (const std::optional<QString> &description = described[n - 1];
            description && !description->isEmpty())
            tips[n - 1] += QStringLiteral(": ") + *description;
    }
    return tips;
}

void MainWindow::SelectComPort(int port)
{
    m_state.options.ComPortNumber = static_cast<qint16>(port);
    ShowComPort();
}

void MainWindow::ShowComPort()
{
    // Exactly one pressed and one checked; clicking the pressed one keeps it pressed.
    for (int n = 1; n <= ComPortCount; ++n) {
        m_comItems[n - 1]->setChecked(n == m_state.options.ComPortNumber);
        m_comButtons[n - 1]->setChecked(n == m_state.options.ComPortNumber);
    }
}

void MainWindow::ToggleToolbar()
{
    SetToolbarShown(!m_state.options.ToolbarShown);
}

void MainWindow::SetItemCaption(int item, const QString &caption)
{
    m_fileItems[item]->setText(caption);
}

void MainWindow::SetItemVisible(int item, bool visible)
{
    m_fileItems[item]->setVisible(visible);
}

void MainWindow::SetItemEnabled(int item, bool enabled)
{
    m_fileItems[item]->setEnabled(enabled);
}

void MainWindow::RunClone(CloneMode mode)
{
    const int port = m_state.options.ComPortNumber;
    // The device is chosen now, so an adapter plugged in since start-up is found.
    const ClonePortChoice choice{port, SerialDeviceFor(m_state.configuredPorts, port),
                                 m_state.options.ComSpeed};
    const CloneOutcome outcome = m_cloneCommand.StartClone(mode, choice, m_state.accessCode);
    if (outcome.caption)
        setWindowTitle(*outcome.caption);
    if (outcome.result) {
        raise();
        activateWindow();
    }
}

bool MainWindow::RequestClose()
{
    if (m_closeAgreed)
        return true;
    if (m_closing)
        return false; // the first request is still asking
    m_closing = true;
    if (m_state.cloneSession.InRun())
        m_cloneCommand.Cancel();
    // Every field, the focused one included, reaches the image first.
    m_binding.ReadAllFields();
    m_closeAgreed = m_commands.QuerySaveChanges() != AnswerCancel;
    m_closing = false;
    return m_closeAgreed;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!RequestClose()) {
        event->ignore(); // the window stays, with its committed edits
        return;
    }
    // The window unloads: the options are written once, now. A profile that
    // cannot be written loses this run's options without a message.
    if (!m_optionsSaved)
        (void)SaveOptions(m_state.profile, m_state.options);
    m_optionsSaved = true;
    event->accept();
}

} // namespace vireo
