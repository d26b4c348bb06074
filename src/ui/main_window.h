// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: toolbar, menu bar and the two pages "Speed Dial" and
// "Configuration" with the 43 editor fields, laid out in twips at the screen's
// density. It is the editor controls the binding shows the image in.
#pragma once

#include "app/program_state.h"
#include "app/user_dialogs.h"
#include "field_edit_filter.h"
#include "model/editor_controls.h"
#include "model/field_binding.h"
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

/** The program's only editor window. */
class MainWindow : public QMainWindow, public EditorControls {
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
    FieldBinding &Binding() { return m_binding; }
    QTabWidget *Pages() const { return m_tabs; }
    QToolBar *Toolbar() const { return m_toolbar; }

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
    QWidget *BuildSpeedDialPage();
    QWidget *BuildConfigurationPage();
    void SetFocusOrder();
    QLineEdit *AddTextField(QWidget *parent, ControlArray array, int index, QRect twips);
    QLineEdit *TextField(TextArray array, int index) const;
    /// Sets the outer size (frame included) from the twips size of the window.
    void ApplyOuterSize();
    void SelectComPort(int port);

    ProgramState &m_state;
    UserDialogs &m_dialogs;
    FieldBinding m_binding;
    FieldEditFilter *m_filter;
    TwipScale m_scale;
    QToolBar *m_toolbar = nullptr;
    QTabWidget *m_tabs = nullptr;
    QAction *m_aboutAction = nullptr;
    QAction *m_toolbarAction = nullptr;
    std::array<QAction *, 4> m_comActions{};
    std::array<QLineEdit *, SpeedDialCount> m_speedDial{};
    std::array<QLineEdit *, Config1Count> m_config1{};
    std::array<QComboBox *, Config2Count> m_config2{};
    std::array<QCheckBox *, Config3Count> m_config3{};
    std::array<QLineEdit *, GroupCodeCount> m_groupCode{};
    bool m_tracking = false; ///< the position is recorded once the window is placed
};

/// Whether the platform lets a window read its own position (Wayland does not).
bool CanReportWindowPosition();

} // namespace vireo
