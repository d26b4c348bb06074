// SPDX-License-Identifier: GPL-3.0-or-later
#include "field_listing.h"

namespace vireo {

namespace {

QString Key(const char *array, int index)
{
    return QStringLiteral("%1[%2]").arg(QLatin1String(array)).arg(index);
}

std::vector<FieldEntry> BuildFields()
{
    static const char *const config1Alias[Config1Count] = {"primary-code",       "secondary-code",
                                                           "lower-block-decode", "upper-block-decode",
                                                           "unit-access-code",   "system-id"};
    static const char *const config2Alias[Config2Count] = {"system-tone", "busy-channel-detect"};
    static const char *const config3Alias[Config3Count] = {"priority-subscriber", "fleet-dispatch",
                                                           "emergency-override", "clear-channel-alerting",
                                                           "memory-speed-dial"};
    std::vector<FieldEntry> fields;
    for (int i = 0; i < SpeedDialCount; ++i) {
        const QString frame = i < 10 ? QStringLiteral("Speed Dial ") : QStringLiteral("Turbo SpeeDial ");
        fields.push_back({ControlArray::SpeedDial, i, Key("SpeedDial", i),
                          QStringLiteral("speed-dial.") + SpeedDialCaption(i), frame + SpeedDialCaption(i)});
    }
    for (int i = 0; i < Config1Count; ++i)
        fields.push_back(
            {ControlArray::Config1, i, Key("Config1", i), QLatin1String(config1Alias[i]), Config1Caption(i)});
    for (int i = 0; i < Config2Count; ++i)
        fields.push_back(
            {ControlArray::Config2, i, Key("Config2", i), QLatin1String(config2Alias[i]), Config2Caption(i)});
    for (int i = 0; i < Config3Count; ++i)
        fields.push_back(
            {ControlArray::Config3, i, Key("Config3", i), QLatin1String(config3Alias[i]), Config3Caption(i)});
    for (int i = 0; i < GroupCodeCount; ++i)
        fields.push_back({ControlArray::GroupCode, i, Key("GroupCode", i),
                          QStringLiteral("group-code.%1").arg(i), QStringLiteral("Group Code %1").arg(i)});
    return fields;
}

} // namespace

const std::vector<FieldEntry> &AllFields()
{
    static const std::vector<FieldEntry> fields = BuildFields();
    return fields;
}

std::optional<FieldEntry> FindField(const QString &name)
{
    for (const FieldEntry &field : AllFields())
        if (name.compare(field.key, Qt::CaseInsensitive) == 0 ||
            name.compare(field.alias, Qt::CaseInsensitive) == 0)
            return field;
    return std::nullopt;
}

QString ShownValue(const FieldEntry &field, const UnitModel &model)
{
    const FieldValues &f = model.Fields;
    switch (field.array) {
    case ControlArray::SpeedDial:
        return f.SpeedDialText[field.index];
    case ControlArray::Config1:
        return f.Config1Text[field.index];
    case ControlArray::Config2:
        return model.Config2Items[field.index].value(f.Config2Index[field.index]);
    case ControlArray::Config3:
        return f.Config3Value[field.index] == 1 ? QStringLiteral("on") : QStringLiteral("off");
    case ControlArray::GroupCode:
        break;
    }
    return f.GroupCodeText[field.index];
}

} // namespace vireo
