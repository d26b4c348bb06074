// SPDX-License-Identifier: GPL-3.0-or-later
// The window's two pages, "Speed Dial" and "Configuration": the 43 editor
// fields and the routing legend laid out in twips, and the fields as the
// settings binding sees them, committed through one edit filter.
#pragma once

#include "model/editor_controls.h"
#include "model/field_binding.h"
#include "twip_scale.h"

#include <QTabWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vireo {

class FieldEditFilter;

/** The settings pages of the main window: the editor controls of one settings image. */
class SettingsPages : public QTabWidget, public EditorControls {
    Q_OBJECT
  public:
    SettingsPages(UnitModel &model, const TwipScale &scale, QWidget *parent);

    /// The binding between the fields and `model`.
    FieldBinding &Binding() { return m_binding; }
    /// The first field in the focus order, SpeedDial[0].
    QLineEdit *FirstField() const;

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

  private:
    QWidget *BuildSpeedDialPage();
    QWidget *BuildConfigurationPage();
    void SetFocusOrder();
    QLineEdit *AddTextField(QWidget *parent, ControlArray array, int index, QRect twips);
    QLineEdit *TextField(TextArray array, int index) const;

    FieldBinding m_binding;
    FieldEditFilter *m_filter;
    TwipScale m_scale;
    std::array<QLineEdit *, SpeedDialCount> m_speedDial{};
    std::array<QLineEdit *, ConfigTextCount> m_configText{};
    std::array<QComboBox *, ConfigListCount> m_configList{};
    std::array<QCheckBox *, ConfigOptionCount> m_configOption{};
    std::array<QLineEdit *, GroupCodeCount> m_groupCode{};
};

} // namespace vireo
