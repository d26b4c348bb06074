// SPDX-License-Identifier: GPL-3.0-or-later
#include "field_binding.h"

#include "field_codecs.h"

namespace vireo {

void FieldBinding::FillConfig2Lists()
{
    for (int i = 0; i < Config2Count; ++i) {
        m_controls.ClearList(i);
        for (int item = 0; item <= m_model.Config2MaxIndex[i]; ++item)
            m_controls.AddListItem(i, m_model.Config2Items[i].at(item));
    }
}

void FieldBinding::ShowFields()
{
    FieldValues &f = m_model.Fields;
    for (int i = 0; i < SpeedDialCount; ++i)
        m_controls.SetText(TextArray::SpeedDial, i, f.SpeedDialText[i]);
    // Empty code fields are painted in the menu colour so they stand out.
    for (int i = 0; i < Config1Count; ++i) {
        const bool empty = f.Config1Text[i].isEmpty();
        m_controls.SetBackColour(TextArray::Config1, i, empty ? SystemColour::Menu : SystemColour::Window);
        m_controls.SetText(TextArray::Config1, i, f.Config1Text[i]);
    }
    ClampChoices(f, m_model.Config2MaxIndex);
    for (int i = 0; i < Config2Count; ++i)
        m_controls.SetListIndex(i, f.Config2Index[i]);
    for (int i = 0; i < Config3Count; ++i)
        m_controls.SetCheckState(i, f.Config3Value[i]);
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

void FieldBinding::CommitConfig1(int index)
{
    const QString oldLower = m_model.Fields.Config1Text[LowerBlockDecode];
    const QString oldUpper = m_model.Fields.Config1Text[UpperBlockDecode];
    m_model.Fields.Config1Text[index] = m_controls.Text(TextArray::Config1, index);
    RefreshAfterEdit();
    if (index == LowerBlockDecode)
        ApplyLowerBlockRule(oldLower);
    else if (index == UpperBlockDecode)
        ApplyUpperBlockRule(oldUpper);
}

void FieldBinding::CommitConfig2(int index)
{
    m_model.Fields.Config2Index[index] = static_cast<std::int16_t>(m_controls.ListIndex(index));
    RefreshAfterEdit();
}

void FieldBinding::CommitConfig3(int index)
{
    m_model.Fields.Config3Value[index] = static_cast<std::int16_t>(m_controls.CheckState(index));
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
    case ControlArray::Config1:
        return CommitConfig1(index);
    case ControlArray::Config2:
        return CommitConfig2(index);
    case ControlArray::Config3:
        return CommitConfig3(index);
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
    for (int i = 0; i < Config1Count; ++i)
        f.Config1Text[i] = m_controls.Text(TextArray::Config1, i);
    for (int i = 0; i < Config2Count; ++i)
        f.Config2Index[i] = static_cast<std::int16_t>(m_controls.ListIndex(i));
    for (int i = 0; i < Config3Count; ++i)
        f.Config3Value[i] = static_cast<std::int16_t>(m_controls.CheckState(i));
    for (int i = 0; i < GroupCodeCount; ++i)
        f.GroupCodeText[i] = m_controls.Text(TextArray::GroupCode, i);
}

void FieldBinding::ReadAllFields()
{
    const QString oldLower = m_model.Fields.Config1Text[LowerBlockDecode];
    const QString oldUpper = m_model.Fields.Config1Text[UpperBlockDecode];
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
