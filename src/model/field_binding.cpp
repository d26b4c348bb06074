// SPDX-License-Identifier: GPL-3.0-or-later
#include "field_binding.h"

#include "field_codecs.h"

namespace vireo {

void FieldBinding::FillConfigLists()
{
    for (int i = 0; i < ConfigListCount; ++i) {
        m_controls.ClearList(i);
        for (int item = 0; item <= m_model.ConfigListMaxIndex[i]; ++item)
            m_controls.AddListItem(i, m_model.ConfigListItems[i].at(item));
    }
}

void FieldBinding::ShowFields()
{
    FieldValues &f = m_model.Fields;
    for (int i = 0; i < SpeedDialCount; ++i)
        m_controls.SetText(TextArray::SpeedDial, i, f.SpeedDialText[i]);
    // Empty code fields are painted in the menu colour so they stand out.
    for (int i = 0; i < ConfigTextCount; ++i) {
        const bool empty = f.ConfigTexts[i].isEmpty();
        m_controls.SetBackColour(TextArray::ConfigText, i, empty ? SystemColour::Menu : SystemColour::Window);
        m_controls.SetText(TextArray::ConfigText, i, f.ConfigTexts[i]);
    }
    ClampChoices(f, m_model.ConfigListMaxIndex);
    for (int i = 0; i < ConfigListCount; ++i)
        m_controls.SetListIndex(i, f.ConfigListIndex[i]);
    for (int i = 0; i < ConfigOptionCount; ++i)
        m_controls.SetCheckState(i, f.ConfigOptionValue[i]);
    for (int i = 0; i < GroupCodeCount; ++i) {
        m_controls.SetText(TextArray::GroupCode, i, f.GroupCodeText[i]);
        m_controls.SetBackColour(TextArray::GroupCode, i,
                                 f.GroupCodeText[i].isEmpty() ? SystemColour::Menu : SystemColour::Window);
    }
}

void FieldBinding::RefreshAfterEdit()
{
    FieldsToImage(m_model.Fields, m_model.UnitImage);
    m_model.CheckEdited();
    ImageToFields(m_model.UnitImage, m_model.Fields);
    ShowFields();
}

void FieldBinding::NormalizeAndShow()
{
    ImageToFields(m_model.UnitImage, m_model.Fields);
    ShowFields();
    FieldsToImage(m_model.Fields, m_model.UnitImage);
    ImageToFields(m_model.UnitImage, m_model.Fields);
    ShowFields();
}

void FieldBinding::CommitSpeedDial(int index)
{
    m_model.Fields.SpeedDialText[index] = m_controls.Text(TextArray::SpeedDial, index);
    RefreshAfterEdit();
}

void FieldBinding::CommitConfigText(int index)
{
    const QString oldLower = m_model.Fields.ConfigTexts[LowerBlockDecode];
    const QString oldUpper = m_model.Fields.ConfigTexts[UpperBlockDecode];
    m_model.Fields.ConfigTexts[index] = m_controls.Text(TextArray::ConfigText, index);
    RefreshAfterEdit();
    if (index == LowerBlockDecode)
        ApplyLowerBlockRule(oldLower);
    else if (index == UpperBlockDecode)
        ApplyUpperBlockRule(oldUpper);
}

void FieldBinding::CommitConfigList(int index)
{
    m_model.Fields.ConfigListIndex[index] = static_cast<std::int16_t>(m_controls.ListIndex(index));
    RefreshAfterEdit();
}

void FieldBinding::CommitConfigOption(int index)
{
    m_model.Fields.ConfigOptionValue[index] = static_cast<std::int16_t>(m_controls.CheckState(index));
    RefreshAfterEdit();
}

void FieldBinding::CommitGroupCode(int index)
{
    m_model.Fields.GroupCodeText[index] = m_controls.Text(TextArray::GroupCode, index);
    RefreshAfterEdit();
}

void FieldBinding::Commit(ControlArray array, int index)
{
    switch (array) {
    case ControlArray::SpeedDial:
        return CommitSpeedDial(index);
    case ControlArray::ConfigText:
        return CommitConfigText(index);
    case ControlArray::ConfigList:
        return CommitConfigList(index);
    case ControlArray::ConfigOption:
        return CommitConfigOption(index);
    case ControlArray::GroupCode:
        break;
    }
    CommitGroupCode(index);
}

void FieldBinding::ReadControls()
{
    FieldValues &f = m_model.Fields;
    for (int i = 0; i < SpeedDialCount; ++i)
        f.SpeedDialText[i] = m_controls.Text(TextArray::SpeedDial, i);
    for (int i = 0; i < ConfigTextCount; ++i)
        f.ConfigTexts[i] = m_controls.Text(TextArray::ConfigText, i);
    for (int i = 0; i < ConfigListCount; ++i)
        f.ConfigListIndex[i] = static_cast<std::int16_t>(m_controls.ListIndex(i));
    for (int i = 0; i < ConfigOptionCount; ++i)
        f.ConfigOptionValue[i] = static_cast<std::int16_t>(m_controls.CheckState(i));
    for (int i = 0; i < GroupCodeCount; ++i)
        f.GroupCodeText[i] = m_controls.Text(TextArray::GroupCode, i);
}

void FieldBinding::ReadAllFields()
{
    const QString oldLower = m_model.Fields.ConfigTexts[LowerBlockDecode];
    const QString oldUpper = m_model.Fields.ConfigTexts[UpperBlockDecode];
    ReadControls();
    RefreshAfterEdit();
    if (m_model.LastConfigField == LowerBlockDecode)
        ApplyLowerBlockRule(oldLower);
    else if (m_model.LastConfigField == UpperBlockDecode)
        ApplyUpperBlockRule(oldUpper);
}

void FieldBinding::ApplyLowerBlockRule(const QString &oldLower)
{
    if (LowerBlockRule(m_model.Fields, oldLower))
        RefreshAfterEdit();
}

void FieldBinding::ApplyUpperBlockRule(const QString &oldUpper)
{
    UpperBlockRule(m_model.Fields, oldUpper);
    RefreshAfterEdit();
}

} // namespace vireo
