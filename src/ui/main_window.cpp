// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include "about_box.h"
#include "access_code_dialog.h"
#include "base/program_folders.h"
#include "clone/port_listing.h"
#include "clone_progress_dialog.h"
#include "compare_dialog.h"
#include "dialog_placement.h"
#include "port_settings_dialog.h"
#include "settings_pages.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace vireo {

namespace {

// The frame before anything is put in it: its name, font and window boxes,
// and the client area the toolbar and the pages are placed on.
QWidget *NewClientArea(QMainWindow *window)
{
    window->setObjectName(QStringLiteral("mainWindow"));
    window->setFont(ProgramFont(9));
    // Fixed size with a minimise box and no maximise box.
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);
    auto *client = new QWidget(window);
    window->setCentralWidget(client);
    return client;
}

QToolBar *NewToolbar(QWidget *client, const TwipScale &scale)
{
    auto *toolbar = new QToolBar(client);
    toolbar->setObjectName(QStringLiteral("mainToolbar"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setFixedHeight(scale.Px(ToolbarHeight));
    return toolbar;
}

} // namespace

bool CanReportWindowPosition()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

MainWindow::MainWindow(ProgramState &state, UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_scale(TwipScale::For(this)), m_client(NewClientArea(this)),
      m_toolbar(NewToolbar(m_client, m_scale)), m_pages(new SettingsPages(state.model, m_scale, m_client)),
      m_progress(new CloneProgressDialog(this, [this] { m_cloneCommand.Cancel(); })),
      m_actions(this, PortTips()), m_commands(state, m_pages->Binding(), dialogs, *this, InitialFilePath(),
                                              [this](const QString &caption) { setWindowTitle(caption); }),
      m_cloneCommand(state.model, m_pages->Binding(), state.document, dialogs, state.cloneSession,
                     *m_progress)
{
    m_actions.AddToMenus(menuBar());
    m_actions.AddToToolbar(m_toolbar);
    // The COM tool tips name the devices present when they show, not those of the start.
    for (QObject *shown : m_actions.comPorts[0]->associatedObjects())
        if (auto *menu = qobject_cast<QMenu *>(shown))
            connect(menu, &QMenu::aboutToShow, this, &MainWindow::RefreshPortTips);
    m_toolbar->installEventFilter(this);
    ConnectCommands();
}

void MainWindow::ConnectCommands()
{
    const auto fileCommand = [this](QAction *action, FileCommand which) {
        connect(action, &QAction::triggered, this, [this, which] { m_commands.DoFileCommand(which); });
    };
    fileCommand(m_actions.fileNew, FileCommand::New);
    fileCommand(m_actions.fileOpen, FileCommand::Open);
    fileCommand(m_actions.fileSave, FileCommand::Save);
    fileCommand(m_actions.fileSaveAs, FileCommand::SaveAs);
    for (QAction *recent : m_actions.recentFiles)
        connect(recent, &QAction::triggered, this, [this, recent] {
            m_commands.DoFileCommand(FileCommand::ReopenRecent, recent->data().toString());
        });
    connect(m_actions.about, &QAction::triggered, this, [this] { AboutBox(frameGeometry(), this).exec(); });
    connect(m_actions.exit, &QAction::triggered, this, &QWidget::close);
    connect(m_actions.viewToolbar, &QAction::triggered, this,
            [this] { SetToolbarShown(!m_state.options.ToolbarShown); });
    for (int n = 1; n <= ComPortCount; ++n)
        connect(m_actions.comPorts[n - 1], &QAction::triggered, this, [this, n] { SelectComPort(n); });
    connect(m_actions.clonePassword, &QAction::triggered, this,
            [this] { AccessCodeDialog(m_state.accessCode, frameGeometry(), this).exec(); });
    connect(m_actions.cloneRead, &QAction::triggered, this, [this] { RunClone(CloneMode::Read); });
    connect(m_actions.cloneWrite, &QAction::triggered, this, [this] { RunClone(CloneMode::Write); });
    connect(m_actions.compareWithUnit, &QAction::triggered, this, &MainWindow::CompareWithUnit);
    connect(m_actions.portSettings, &QAction::triggered, this, &MainWindow::EditPortSettings);
    connect(m_actions.checkAfterWrite, &QAction::toggled, this,
            [this](bool on) { m_state.options.CheckWrite = on; });
    connect(m_actions.backUpBeforeWrite, &QAction::toggled, this,
            [this](bool on) { m_state.options.BackupWrite = on; });
}

void MainWindow::ShowAtStartUp()
{
    // What the window does when it is first loaded: the lists, the image in
    // every field, the recent files, and the "Speed Dial" page in front.
    ShowComPort();
    m_actions.checkAfterWrite->setChecked(m_state.options.CheckWrite);
    m_actions.backUpBeforeWrite->setChecked(m_state.options.BackupWrite);
    m_pages->Binding().FillConfigLists();
    m_pages->Binding().NormalizeAndShow();
    ShowRecentFiles(m_state.options, *this);
    m_pages->setCurrentIndex(0);
    LayoutMainWindow();
    show();
    // The first field takes the focus with its text selected, as every later
    // focus does, so typing replaces it.
    m_pages->FirstField()->setFocus();
    m_pages->FirstField()->selectAll();
    m_tracking = true;
}

int MainWindow::AdjustForToolbar(int pixels) const
{
    return m_state.options.ToolbarShown ? pixels : pixels - m_toolbar->height();
}

void MainWindow::SetToolbarShown(bool shown)
{
    m_state.options.ToolbarShown = shown;
    LayoutMainWindow();
}

void MainWindow::LayoutMainWindow()
{
    setWindowTitle(m_state.document.UpdateCaption());
    m_actions.viewToolbar->setChecked(m_state.options.ToolbarShown);
    m_toolbar->setVisible(m_state.options.ToolbarShown);
    ApplyOuterSize();
    // As wide as the window (the client area is laid out later; the frame clips the rest).
    m_toolbar->setGeometry(0, 0, m_scale.Px(MainWindowWidth), m_toolbar->height());
    m_pages->setGeometry(m_scale.Px(TabStripLeft), AdjustForToolbar(m_scale.Px(TabStripTop)),
                         m_scale.Px(TabStripWidth), m_scale.Px(TabStripHeight));

    // The remembered place, kept on the screen it is on (which need not start at 0,0).
    const QPoint wanted(m_scale.Px(m_state.options.WindowLeft), m_scale.Px(m_state.options.WindowTop));
    move(KeepOnScreen(QRect(wanted, frameGeometry().size()), AvailableAreaAt(wanted)));
}

QSize MainWindow::OuterSize() const
{
    return QSize(m_scale.Px(MainWindowWidth), AdjustForToolbar(m_scale.Px(MainWindowHeight)));
}

void MainWindow::ApplyOuterSize()
{
    setFixedSize(OuterSize() - (frameGeometry().size() - geometry().size()));
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The frame's measures are known only once the window system has framed
    // the window (a window manager does so some time after it shows): the
    // outer size is kept from the first frame on.
    WhenFramed(this, [this] {
        if (frameGeometry().size() != OuterSize())
            ApplyOuterSize();
    });
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (!m_tracking || isMinimized() || !CanReportWindowPosition())
        return;
    // A stored position that still names this pixel is kept as it is, so a
    // window that did not move never drifts by a rounding.
    const QPoint at = pos();
    const ProgramOptions &options = m_state.options;
    const double left = m_scale.Px(options.WindowLeft) == at.x() ? options.WindowLeft : m_scale.Twips(at.x());
    const double top = m_scale.Px(options.WindowTop) == at.y() ? options.WindowTop : m_scale.Twips(at.y());
    TrackWindowPosition(m_state.options, left, top, false);
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

void MainWindow::RefreshPortTips()
{
    const std::array<QString, ComPortCount> tips = PortTips();
    for (int n = 0; n < ComPortCount; ++n)
        m_actions.comPorts[n]->setToolTip(tips[n]);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_toolbar && event->type() == QEvent::ToolTip)
        RefreshPortTips();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::SelectComPort(int port)
{
    m_state.options.ComPortNumber = static_cast<qint16>(port);
    ShowComPort();
}

void MainWindow::ShowComPort()
{
    // The group keeps one checked: the menu item and the pressed button are one action.
    m_actions.comPorts[m_state.options.ComPortNumber - 1]->setChecked(true);
}

void MainWindow::SetEntryFile(int entry, const QString &caption, const QString &path)
{
    m_actions.recentFiles[entry - 1]->setText(caption);
    m_actions.recentFiles[entry - 1]->setData(path);
}

void MainWindow::SetEntryVisible(int entry, bool visible)
{
    m_actions.recentFiles[entry - 1]->setVisible(visible);
}

void MainWindow::SetEntryEnabled(int entry, bool enabled)
{
    m_actions.recentFiles[entry - 1]->setEnabled(enabled);
}

ClonePortChoice MainWindow::ChosenPort() const
{
    const int port = m_state.options.ComPortNumber;
    return {port, SerialDeviceFor(m_state.configuredPorts, port), m_state.options.ComSpeed};
}

WriteSafety MainWindow::ChosenSafety() const
{
    return {m_state.options.CheckWrite, m_state.options.BackupWrite ? UserBackupFolder() : QString()};
}

void MainWindow::ShowCloneOutcome(const CloneOutcome &outcome)
{
    if (outcome.caption)
        setWindowTitle(*outcome.caption);
    if (outcome.result) {
        raise();
        activateWindow();
    }
}

void MainWindow::RunClone(CloneMode mode)
{
    ShowCloneOutcome(m_cloneCommand.StartClone(mode, ChosenPort(), m_state.accessCode, ChosenSafety()));
}

void MainWindow::CompareWithUnit()
{
    const ClonePortChoice port = ChosenPort();
    const std::optional<UnitWords> unit = m_cloneCommand.ReadForCompare(port, m_state.accessCode);
    raise();
    activateWindow();
    if (!unit)
        return;
    CompareDialog dialog(CompareImages(ShownModel(*unit), m_state.model), UserBackupFolder(), this);
    switch (dialog.Ask()) {
    case CompareDialog::Choice::WriteToUnit:
        // The read just made is the backup, whatever Back Up Before Write says.
        ShowCloneOutcome(m_cloneCommand.WriteAfterCompare(port, m_state.accessCode, *unit,
                                                          {m_state.options.CheckWrite, UserBackupFolder()}));
        break;
    case CompareDialog::Choice::OpenUnitSettings:
        ShowCloneOutcome(m_cloneCommand.OpenUnitWords(*unit));
        break;
    case CompareDialog::Choice::Close:
        break;
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
    m_pages->Binding().ReadAllFields();
    m_closeAgreed = m_commands.QuerySaveChanges() != AnswerCancel;
    m_closing = false;
    return m_closeAgreed;
}

void MainWindow::EditPortSettings()
{
    PortSettingsDialog dialog(
        m_state.configuredPorts, m_state.options.ComSpeed,
        [this](const ClonePortChoice &port) {
            return ProbePort(m_state.cloneSession, port, m_state.accessCode);
        },
        this);
    if (!dialog.Ask())
        return;
    m_state.configuredPorts = dialog.Devices();
    m_state.options.ComSpeed = static_cast<qint16>(dialog.Speed());
    m_portsChanged = true;
    RefreshPortTips();
}

void MainWindow::EndWithoutAsking()
{
    if (m_state.cloneSession.InRun())
        m_cloneCommand.Cancel();
    m_closeAgreed = true;
    // Open dialogs close too (each as its Cancel), so their loops end; the
    // main window saves the options once as it closes.
    QApplication::closeAllWindows();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!RequestClose()) {
        event->ignore(); // the window stays, with its committed edits
        return;
    }
    // The window unloads: the options are written once, now. A profile that
    // cannot be written loses this run's options without a message.
    if (!m_optionsSaved) {
        (void)SaveOptions(m_state.profile, m_state.options);
        if (m_portsChanged)
            (void)SaveSerialDevices(m_state.profile, m_state.configuredPorts);
    }
    m_optionsSaved = true;
    event->accept();
}

} // namespace vireo
