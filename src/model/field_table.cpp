// SPDX-License-Identifier: GPL-3.0-or-later
// The field table, built once from the captions and the word map, and the
// text forms a field's value is read and set in.
#include "field_table.h"

#include <QRegularExpression>

namespace vireo {

namespace {

QString Key(const char *array, int index)
{
    return QStringLiteral("%1[%2]").arg(QLatin1String(array)).arg(index);
}

std::vector<int> Run(int first, int count)
{
    std::vector<int> words;
    for (int k = 0; k < count; ++k)
        words.push_back(first + k);
    return words;
}

std::vector<FieldEntry> BuildFields()
{
    static const char *const configTextAlias[ConfigTextCount] = {"primary-code",       "secondary-code",
                                                                 "lower-block-decode", "upper-block-decode",
                                                                 "unit-access-code",   "system-id"};
    static const char *const configListAlias[ConfigListCount] = {"system-tone", "busy-channel-detect"};
    static const char *const configOptionAlias[ConfigOptionCount] = {
        "priority-subscriber", "fleet-dispatch", "emergency-override", "clear-channel-alerting",
        "memory-speed-dial"};
    const std::vector<int> configTextWords[ConfigTextCount] = {
        Run(word::PrimaryCode, 2), Run(word::SecondaryCode, 2),  Run(word::LowerBlock, 2),
        Run(word::UpperBlock, 2),  Run(word::UnitAccessCode, 3), {word::SystemId}};
    const int configListWords[ConfigListCount] = {word::SystemTone, word::BusyChannelDetect};
    const int configOptionWords[ConfigOptionCount] = {word::PrioritySubscriber, word::FleetDispatch,
                                                      word::EmergencyOverride, word::ClearChannelAlerting,
                                                      word::MemorySpeedDial};
    std::vector<FieldEntry> fields;
    for (int i = 0; i < SpeedDialCount; ++i) {
        const QString frame = i < 10 ? QStringLiteral("Speed Dial ") : QStringLiteral("Turbo SpeeDial ");
        fields.push_back({ControlArray::SpeedDial, i, Key("SpeedDial", i),
                          QStringLiteral("speed-dial.") + SpeedDialCaption(i), frame + SpeedDialCaption(i),
                          Run(word::SpeedDialFirst + word::SpeedDialWords * i, word::SpeedDialWords)});
    }
    for (int i = 0; i < ConfigTextCount; ++i)
        fields.push_back({ControlArray::ConfigText, i, Key("Config1", i), QLatin1String(configTextAlias[i]),
                          ConfigTextCaption(i), configTextWords[i]});
    for (int i = 0; i < ConfigListCount; ++i)
        fields.push_back({ControlArray::ConfigList,
                          i,
                          Key("Config2", i),
                          QLatin1String(configListAlias[i]),
                          ConfigListCaption(i),
                          {configListWords[i]}});
    for (int i = 0; i < ConfigOptionCount; ++i)
        fields.push_back({ControlArray::ConfigOption,
                          i,
                          Key("Config3", i),
                          QLatin1String(configOptionAlias[i]),
                          ConfigOptionCaption(i),
                          {configOptionWords[i]}});
    for (int i = 0; i < GroupCodeCount; ++i)
        fields.push_back({ControlArray::GroupCode,
                          i,
                          Key("GroupCode", i),
                          QStringLiteral("group-code.%1").arg(i),
                          QStringLiteral("Group Code %1").arg(i),
                          {word::GroupCodeFirst + i}});
    return fields;
}

// The list item text names, or -1: the whole item text, the text after its
// "n:" number, the same without a unit ("Hz"), or the item's number.
int ListItemNamed(const QStringList &items, const QString &text)
{
    static const QRegularExpression numberPrefix(QStringLiteral("^\\d+:"));
    static const QRegularExpression unitSuffix(QStringLiteral("[A-Za-z]+$"));
    const QString wanted = text.trimmed();
    for (int i = 0; i < items.size(); ++i) {
        const QString bare = QString(items[i]).remove(numberPrefix);
        const QString number = QString(bare).remove(unitSuffix);
        for (const QString &form : {items[i], bare, number})
            if (!form.isEmpty() && wanted.compare(form, Qt::CaseInsensitive) == 0)
                return i;
    }
    bool isNumber = false;
    const int index = wanted.toInt(&isNumber);
    return isNumber && index >= 0 && index < items.size() ? index : -1;
}

// A check box state from on/off/1/0, or -1.
int CheckStateNamed(const QString &text)
{
    const QString wanted = text.trimmed().toLower();
    if (wanted == QLatin1String("on") || wanted == QLatin1String("1"))
        return 1;
    if (wanted == QLatin1String("off") || wanted == QLatin1String("0"))
        return 0;
    return -1;
}

Failure Refused(const QString &accepted)
{
    return Failure{QStringLiteral("accepted values: %1").arg(accepted)};
}

} // namespace

const std::vector<FieldEntry> &AllFields()
{
    static const std::vector<FieldEntry> fields = BuildFields();
    return fields;
}

QString FieldNamesText()
{
    // A row of one array is "first..last"; an alias that ends in ".n" joins its row.
    QStringList keys, aliases;
    const std::vector<FieldEntry> &fields = AllFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldEntry &field = fields[i];
        const bool opensRow = i == 0 || fields[i - 1].array != field.array;
        const bool closesRow = i + 1 == fields.size() || fields[i + 1].array != field.array;
        if (opensRow)
            keys.append(field.key);
        else if (closesRow)
            keys.last() = QStringLiteral("%1..%2]").arg(keys.last().chopped(1)).arg(field.index);
        if (!field.alias.contains(QLatin1Char('.')) || opensRow)
            aliases.append(field.alias);
        else if (closesRow)
            aliases.last() += QStringLiteral("..") + field.alias;
    }
    return keys.join(QStringLiteral(", ")) + QStringLiteral(", or ") + aliases.join(QStringLiteral(", "));
}

std::optional<FieldEntry> FindField(const QString &name)
{
    for (const FieldEntry &field : AllFields())
        if (name.compare(field.key, Qt::CaseInsensitive) == 0 ||
            name.compare(field.alias, Qt::CaseInsensitive) == 0)
            return field;
    return std::nullopt;
}

std::optional<FieldAssignment> ParseFieldAssignment(const QString &text)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    const std::optional<FieldEntry> field = FindField(text.left(eq).trimmed());
    if (!field)
        return std::nullopt;
    return FieldAssignment{*field, text.mid(eq + 1)};
}

QString ShownValue(const FieldEntry &field, const UnitModel &model)
{
    const FieldValues &f = model.Fields;
    switch (field.array) {
    case ControlArray::SpeedDial:
        return f.SpeedDialText[field.index];
    case ControlArray::ConfigText:
        return f.ConfigTexts[field.index];
    case ControlArray::ConfigList:
        return model.ConfigListItems[field.index].value(f.ConfigListIndex[field.index]);
    case ControlArray::ConfigOption:
        return f.ConfigOptionValue[field.index] == 1 ? QStringLiteral("on") : QStringLiteral("off");
    case ControlArray::GroupCode:
        break;
    }
    return f.GroupCodeText[field.index];
}

Result<> AssignField(FieldBinding &binding, EditorControls &controls, const FieldEntry &field,
                     const QString &text)
{
    const int i = field.index;
    switch (field.array) {
    case ControlArray::SpeedDial:
        controls.SetText(TextArray::SpeedDial, i, text);
        break;
    case ControlArray::ConfigText:
        // Focus first: the block rules look at the field that had it.
        binding.ConfigTextFocusGained(i);
        controls.SetText(TextArray::ConfigText, i, text);
        break;
    case ControlArray::GroupCode:
        controls.SetText(TextArray::GroupCode, i, text);
        break;
    case ControlArray::ConfigList: {
        const QStringList &items = binding.Model().ConfigListItems[i];
        const int item = ListItemNamed(items, text);
        if (item < 0)
            return Refused(
                QStringLiteral("%1%2, or the item's number 0 to %3")
                    .arg(items.join(QStringLiteral(", ")),
                         items[0].contains(QLatin1Char(':'))
                             ? QStringLiteral(" (also the text after the colon, with or without its unit)")
                             : QString())
                    .arg(items.size() - 1));
        controls.SetListIndex(i, item);
        break;
    }
    case ControlArray::ConfigOption: {
        const int state = CheckStateNamed(text);
        if (state < 0)
            return Refused(QStringLiteral("on, off, 1, 0"));
        controls.SetCheckState(i, state);
        break;
    }
    }
    binding.Commit(field.array, i); // Enter
    return {};
}

} // namespace vireo
