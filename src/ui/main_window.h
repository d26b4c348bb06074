// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: toolbar, menu bar and the two pages "Speed Dial" and
// "Configuration" with the 43 editor fields, laid out in twips at the screen's
// density. It is the editor controls the binding shows the image in.
#pragma once

#include "app/clone_command.h"
#include "app/document_commands.h"
#include "app/program_state.h"
#include "app/user_dialogs.h"
#include "field_edit_filter.h"
#include "model/editor_controls.h"
#include "model/field_binding.h"
#include "profile/recent_files.h"
#include "twip_scale.h"

#include <QMainWindow>

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;
class QToolBar;

namespace vireo {

// The window's outer size and the places that depend on the toolbar, in twips.
inline constexpr int MainWindowWidth = 8640;
inline constexpr int MainWindowHeight = 6640;
inline constexpr int ToolbarHeight = 420;
inline constexpr int TabStripLeft = 70;
inline constexpr int TabStripTop = 480;
inline constexpr int TabStripWidth = 8400;
inline constexpr int TabStripHeight = 5400;

// File menu items by their index: commands, separators, recent files 5 to 8.
inline constexpr int AboutItem = 10;
inline constexpr int ExitItem = 12;

/** The program's only editor window. */
class CloneProgressDialog;

class MainWindow : public QMainWindow, public EditorControls, public RecentFileMenu {
    Q_OBJECT
  public:
    MainWindow(ProgramState &state, UserDialogs &dialogs, QWidget *parent = nullptr);

    /// The end of start-up: the load handler's work, the layout and the placement, then shown.
    void Open();
    /// Caption, toolbar state, size, place on the screen; again after every toolbar toggle.
    void LayoutMainWindow();
    /// `pixels` less the toolbar's height while the toolbar is hidden.
    int AdjustForToolbar(int pixels) const;
    /// View > Toolbar.
    void SetToolbarShown(bool shown);
    QTabWidget *Pages() const { return m_tabs; }
    QToolBar *Toolbar() const { return m_toolbar; }
    CloneProgressDialog *Progress() const { return m_progress; }

    /// The port used for cloning: the COM item checked and the COM button pressed.
    void SelectComPort(int port);
    /// Clone > Read or Write: the confirmation, the run behind the progress
    /// window, then the window brought to the front.
    void RunClone(CloneMode mode);
    /// The close request: a run in progress is cancelled (the unit is sent
    /// the abort frame), every field is read, and an edited document is
    /// offered for saving; false when the user cancelled the close.
    bool RequestClose();

    // RecentFileMenu: File menu items 5 to 8
    void SetItemCaption(int item, const QString &caption) override;
    void SetItemVisible(int item, bool visible) override;
    void SetItemEnabled(int item, bool enabled) override;

    // EditorControls
    QString Text(TextArray array, int index) const override;
    void SetText(TextArray array, int index, const QString &text) override;
    void SetBackColour(TextArray array, int index, SystemColour colour) override;
    void ClearList(int index) override;
    void AddListItem(int index, const QString &item) override;
    int ListIndex(int index) const override;
    void SetListIndex(int index, int item) override;
    int CheckState(int index) const override;
    void SetCheckState(int index, int state) override;

  protected:
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    void BuildMenus();
    void BuildToolbar();
    void ShowComPort();
    void ToggleToolbar();
    QWidget *BuildSpeedDialPage();
    QWidget *BuildConfigurationPage();
    void SetFocusOrder();
    QLineEdit *AddTextField(QWidget *parent, ControlArray array, int index, QRect twips);
    QLineEdit *TextField(TextArray array, int index) const;
    /// The window's size with its frame, from its twips size and the toolbar.
    QSize OuterSize() const;
    /// Sizes the window so that its outer size, frame included, is OuterSize().
    void ApplyOuterSize();
    /// The COM1 to COM4 tool tips: the port, its device and the system's description.
    std::array<QString, ComPortCount> PortTips() const;

    ProgramState &m_state;
    FieldBinding m_binding;
    FieldEditFilter *m_filter;
    TwipScale m_scale;
    QToolBar *m_toolbar = nullptr;
    QTabWidget *m_tabs = nullptr;
    std::array<QAction *, 13> m_fileItems{}; ///< File menu items 0 to 12, separators included
    QAction *m_toolbarAction = nullptr;
    std::array<QAction *, 4> m_comItems{};   ///< COM Port menu items COM1 to COM4
    std::array<QAction *, 4> m_comButtons{}; ///< toolbar buttons "KeyCOM1" to "KeyCOM4"
    CloneProgressDialog *m_progress = nullptr;
    DocumentCommands m_commands;
    CloneCommand m_cloneCommand;
    bool m_closing = false;     ///< a close request is being asked
    bool m_closeAgreed = false; ///< the close request was agreed: later ones pass
    bool m_optionsSaved = false;
    std::array<QLineEdit *, SpeedDialCount> m_speedDial{};
    std::array<QLineEdit *, ConfigTextCount> m_configText{};
    std::array<QComboBox *, ConfigListCount> m_configList{};
    std::array<QCheckBox *, ConfigOptionCount> m_configOption{};
    std::array<QLineEdit *, GroupCodeCount> m_groupCode{};
    bool m_tracking = false; ///< the position is recorded once the window is placed
};

/// Whether the platform lets a window read its own position (Wayland does not).
bool CanReportWindowPosition();

} // namespace vireo
