// SPDX-License-Identifier: GPL-3.0-or-later
// Unit model state: the drop-down lists, change tracking and field captions.
#include "unit_model.h"

namespace vireo {

void UnitModel::InitConfig2Lists()
{
    Config2Items[0] = {QStringLiteral("0:100.0Hz"), QStringLiteral("1:107.2Hz"), QStringLiteral("2:114.8Hz"),
                       QStringLiteral("3:123.0Hz"), QStringLiteral("4:131.8Hz"), QStringLiteral("5:141.3Hz"),
                       QStringLiteral("6:151.4Hz")};
    Config2MaxIndex[0] = 6;
    Config2Items[1] = {QStringLiteral("Carrier"), QStringLiteral("System Tone")};
    Config2MaxIndex[1] = 1;
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

QString Config1Caption(int index)
{
    static const char *const captions[Config1Count] = {"Primary Code",           "Secondary Code",
                                                       "Lower Block Decode",     "Upper Block Decode",
                                                       "Five Digit Access Code", "Trunking System ID Number"};
    return QString::fromLatin1(captions[index]);
}

QString Config2Caption(int index)
{
    return index == 0 ? QStringLiteral("System Tone") : QStringLiteral("Busy Channel Detect");
}

QString Config3Caption(int index)
{
    static const char *const captions[Config3Count] = {
        "Priority Subscriber Enable", "Fleet Dispatch Mode", "Emergency Call Override",
        "Clear Channel Alerting Mode", "Memory Speed-dialing Programming"};
    return QString::fromLatin1(captions[index]);
}

} // namespace vireo
