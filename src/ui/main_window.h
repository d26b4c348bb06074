// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the frame around the settings pages, with the menu bar
// and the toolbar, laid out in twips at the screen's density, and what each
// command does: the document commands, the COM port choice, clones, closing.
#pragma once

#include "app/clone_command.h"
#include "app/document_commands.h"
#include "app/program_state.h"
#include "app/user_dialogs.h"
#include "profile/recent_files.h"
#include "twip_scale.h"
#include "window_actions.h"

#include <QMainWindow>

#include <array>

class QToolBar;

namespace vireo {

class CloneProgressDialog;
class SettingsPages;

// The window's outer size and the places that depend on the toolbar, in twips.
inline constexpr int MainWindowWidth = 8640;
inline constexpr int MainWindowHeight = 6640;
inline constexpr int ToolbarHeight = 420;
inline constexpr int TabStripLeft = 70;
inline constexpr int TabStripTop = 480;
inline constexpr int TabStripWidth = 8400;
inline constexpr int TabStripHeight = 5400;

/** The program's only editor window. */
class MainWindow : public QMainWindow, public RecentFileMenu {
    Q_OBJECT
  public:
    MainWindow(ProgramState &state, UserDialogs &dialogs, QWidget *parent = nullptr);

    /// The end of start-up: the fields, lists and recent files filled, the
    /// layout and the placement, then shown with the focus in the first field.
    void ShowAtStartUp();
    /// Caption, toolbar state, size, place on the screen; again after every toolbar toggle.
    void LayoutMainWindow();
    /// `pixels` less the toolbar's height while the toolbar is hidden.
    int AdjustForToolbar(int pixels) const;
    /// View > Toolbar.
    void SetToolbarShown(bool shown);
    SettingsPages *Pages() const { return m_pages; }
    QToolBar *Toolbar() const { return m_toolbar; }
    CloneProgressDialog *Progress() const { return m_progress; }

    /// The port used for cloning: the COM item checked and the COM button pressed.
    void SelectComPort(int port);
    /// Clone > Read or Write: the confirmation, the run behind the progress
    /// window, then the window brought to the front.
    void RunClone(CloneMode mode);
    /// Clone > Compare with Unit: reads the unit, lists what differs from the
    /// document, and writes the document or opens the unit's settings as asked.
    void CompareWithUnit();
    /// Clone > Port Settings: the devices of COM1 to COM4 and the speed, kept at exit.
    void EditPortSettings();
    /// The close request: a run in progress is cancelled (the unit is sent
    /// the abort frame), every field is read, and an edited document is
    /// offered for saving; false when the user cancelled the close.
    bool RequestClose();
    /// A termination request, or a session end that lets nobody ask: a run
    /// in progress is cancelled (the unit is sent the abort frame), the
    /// options are saved and the program ends, with nothing asked.
    void EndWithoutAsking();

    // RecentFileMenu: the File menu's recent-file entries
    void SetEntryFile(int entry, const QString &caption, const QString &path) override;
    void SetEntryVisible(int entry, bool visible) override;
    void SetEntryEnabled(int entry, bool enabled) override;

  protected:
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void ConnectCommands();
    /// The chosen COM port, its device looked up now (an adapter plugged in since start-up is found).
    ClonePortChoice ChosenPort() const;
    /// Check After Write and Back Up Before Write as the options say.
    WriteSafety ChosenSafety() const;
    /// After a clone command: the caption it gave, and the window to the front after a run.
    void ShowCloneOutcome(const CloneOutcome &outcome);
    void ShowComPort();
    /// The window's size with its frame, from its twips size and the toolbar.
    QSize OuterSize() const;
    /// Sizes the window so that its outer size, frame included, is OuterSize().
    void ApplyOuterSize();
    /// The COM1 to COM4 tool tips: the port, its device and the system's description.
    std::array<QString, ComPortCount> PortTips() const;
    /// The COM1 to COM4 tool tips anew, for the devices present now.
    void RefreshPortTips();

    ProgramState &m_state;
    TwipScale m_scale;
    QWidget *m_client;
    QToolBar *m_toolbar;
    SettingsPages *m_pages;
    CloneProgressDialog *m_progress;
    WindowActions m_actions;
    DocumentCommands m_commands;
    CloneCommand m_cloneCommand;
    bool m_closing = false;     ///< a close request is being asked
    bool m_closeAgreed = false; ///< the close request was agreed: later ones pass
    bool m_optionsSaved = false;
    bool m_portsChanged = false; ///< [PORTS] is written at exit only once the user changed it
    bool m_tracking = false;     ///< the position is recorded once the window is placed
};

/// Whether the platform lets a window read its own position (Wayland does not).
bool CanReportWindowPosition();

} // namespace vireo
