// SPDX-License-Identifier: GPL-3.0-or-later
// Unit model state: the drop-down lists, change tracking and field captions.
#include "unit_model.h"

namespace vireo {

void UnitModel::InitConfigLists()
{
    ConfigListItems[0] = {QStringLiteral("0:100.0Hz"), QStringLiteral("1:107.2Hz"),
                          QStringLiteral("2:114.8Hz"), QStringLiteral("3:123.0Hz"),
                          QStringLiteral("4:131.8Hz"), QStringLiteral("5:141.3Hz"),
                          QStringLiteral("6:151.4Hz")};
    ConfigListMaxIndex[0] = 6;
    ConfigListItems[1] = {QStringLiteral("Carrier"), QStringLiteral("System Tone")};
    ConfigListMaxIndex[1] = 1;
}

void UnitModel::MarkClean()
{
    BaselineImage = UnitImage;
    DataEdited = false;
}

void UnitModel::CheckEdited()
{
    if (!DataEdited && BaselineImage != UnitImage)
        DataEdited = true;
}

QString SpeedDialCaption(int index)
{
    static const char *const captions[SpeedDialCount] = {"0", "1", "2", "3", "4", "5", "6",
                                                         "7", "8", "9", "A", "B", "C", "D"};
    return QString::fromLatin1(captions[index]);
}

QString ConfigTextCaption(int index)
{
    static const char *const captions[ConfigTextCount] = {
        "Primary Code",       "Secondary Code",         "Lower Block Decode",
        "Upper Block Decode", "Five Digit Access Code", "Trunking System ID Number"};
    return QString::fromLatin1(captions[index]);
}

QString ConfigListCaption(int index)
{
    return index == 0 ? QStringLiteral("System Tone") : QStringLiteral("Busy Channel Detect");
}

QString ConfigOptionCaption(int index)
{
    static const char *const captions[ConfigOptionCount] = {
        "Priority Subscriber Enable", "Fleet Dispatch Mode", "Emergency Call Override",
        "Clear Channel Alerting Mode", "Memory Speed-dialing Programming"};
    return QString::fromLatin1(captions[index]);
}

} // namespace vireo
