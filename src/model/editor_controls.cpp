// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor_controls.h"

namespace vireo {

QString &MemoryEditorControls::TextRef(TextArray array, int index)
{
    return TextArrayElement(array, index, m_speedDial, m_configText, m_groupCode);
}

QString MemoryEditorControls::Text(TextArray array, int index) const
{
    return const_cast<MemoryEditorControls *>(this)->TextRef(array, index);
}

void MemoryEditorControls::SetText(TextArray array, int index, const QString &text)
{
    TextRef(array, index) = text;
}

void MemoryEditorControls::SetBackColour(TextArray array, int index, SystemColour colour)
{
    if (array == TextArray::ConfigText)
        m_configTextColour[index] = colour;
    else if (array == TextArray::GroupCode)
        m_groupCodeColour[index] = colour;
}

SystemColour MemoryEditorControls::BackColour(TextArray array, int index) const
{
    if (array == TextArray::ConfigText)
        return m_configTextColour[index];
    if (array == TextArray::GroupCode)
        return m_groupCodeColour[index];
    return SystemColour::Window;
}

void MemoryEditorControls::ClearList(int index)
{
    m_items[index].clear();
    m_listIndex[index] = -1;
}

void MemoryEditorControls::AddListItem(int index, const QString &item)
{
    m_items[index].append(item);
}

int MemoryEditorControls::ListIndex(int index) const
{
    return m_listIndex[index];
}

void MemoryEditorControls::SetListIndex(int index, int item)
{
    m_listIndex[index] = item >= 0 && item < m_items[index].size() ? item : -1;
}

int MemoryEditorControls::CheckState(int index) const
{
    return m_check[index];
}

void MemoryEditorControls::SetCheckState(int index, int state)
{
    m_check[index] = state;
}

} // namespace vireo
