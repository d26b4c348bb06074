// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's controls as the binding sees them: the only contact between the
// settings model and a window. The main window implements EditorControls;
// MemoryEditorControls holds the same state in memory for the command-line
// tool and for tests.
#pragma once

#include "unit_model.h"

#include <QString>
#include <QStringList>
#include <array>

namespace vireo {

enum class TextArray { SpeedDial, ConfigText, GroupCode };
// The five control arrays of the editor, text fields, lists and check boxes.
enum class ControlArray { SpeedDial, ConfigText, ConfigList, ConfigOption, GroupCode };

// The two system colours the binding paints text fields with.
enum class SystemColour { Menu = 4, Window = 5 };

/// Element `index` of text array `array`, from the three arrays that hold
/// something per text field (texts, widgets), in the editor's order.
template <typename SpeedDials, typename ConfigTextFields, typename GroupCodes>
auto &TextArrayElement(TextArray array, int index, SpeedDials &speedDial, ConfigTextFields &configText,
                       GroupCodes &groupCode)
{
    switch (array) {
    case TextArray::SpeedDial:
        return speedDial[index];
    case TextArray::ConfigText:
        return configText[index];
    case TextArray::GroupCode:
        break;
    }
    return groupCode[index];
}

/** Operations the binding needs of the editor's 43 controls. */
class EditorControls {
  public:
    virtual ~EditorControls() = default;

    virtual QString Text(TextArray array, int index) const = 0;
    /// Setting a value never triggers a commit.
    virtual void SetText(TextArray array, int index, const QString &text) = 0;
    virtual void SetBackColour(TextArray array, int index, SystemColour colour) = 0;

    virtual void ClearList(int index) = 0;
    virtual void AddListItem(int index, const QString &item) = 0;
    /// Selected item of drop-down list ConfigList(index); -1 when none is selected.
    virtual int ListIndex(int index) const = 0;
    virtual void SetListIndex(int index, int item) = 0;

    /// State of check box ConfigOption(index): 0 cleared, 1 set.
    virtual int CheckState(int index) const = 0;
    virtual void SetCheckState(int index, int state) = 0;
};

/** Editor controls held in memory: what a window would show, without a window. */
class MemoryEditorControls : public EditorControls {
  public:
    QString Text(TextArray array, int index) const override;
    void SetText(TextArray array, int index, const QString &text) override;
    void SetBackColour(TextArray array, int index, SystemColour colour) override;
    void ClearList(int index) override;
    void AddListItem(int index, const QString &item) override;
    int ListIndex(int index) const override;
    /// Like a selection-only list: an index outside the items selects nothing.
    void SetListIndex(int index, int item) override;
    int CheckState(int index) const override;
    void SetCheckState(int index, int state) override;

    SystemColour BackColour(TextArray array, int index) const;
    const QStringList &ListItems(int index) const { return m_items[index]; }

  private:
    QString &TextRef(TextArray array, int index);

    std::array<QString, SpeedDialCount> m_speedDial;
    std::array<QString, ConfigTextCount> m_configText;
    std::array<QString, GroupCodeCount> m_groupCode;
    std::array<SystemColour, ConfigTextCount> m_configTextColour{};
    std::array<SystemColour, GroupCodeCount> m_groupCodeColour{};
    std::array<QStringList, ConfigListCount> m_items;
    std::array<int, ConfigListCount> m_listIndex{-1, -1};
    std::array<int, ConfigOptionCount> m_check{};
};

} // namespace vireo
