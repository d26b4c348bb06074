// SPDX-License-Identifier: GPL-3.0-or-later
// Field codecs of the unit image. Each digit of a code field occupies a byte of
// its own (digit pairs); speed dials are right-aligned nibbles filled with F.
#include "field_codecs.h"

#include "hex_text.h"

namespace vireo {

namespace {

const QString EmptyUpperMarker = QStringLiteral("000F");

// The codecs build these four digits themselves, so they are always legal.
std::uint16_t HexParse(const QString &fourDigits)
{
    return ParseWordHex(fourDigits.toLatin1()).value_or(0);
}

QString HexDigit(unsigned nibble)
{
    return QString(QLatin1Char("0123456789ABCDEF"[nibble & 0xF]));
}

} // namespace

QString DigitsOnly(const QString &text)
{
    QString digits;
    digits.reserve(text.size());
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    return digits;
}

QString FitDigits(const QString &text, int n)
{
    if (text.size() <= n)
        return QString(n - text.size(), QLatin1Char('0')) + text;
    return text.left(n);
}

QString DecodeDigitPairs(const UnitWords &image, int word, const QString &prefix)
{
    QString text = prefix;
    for (int w = word; w <= word + 1; ++w) {
        text += HexDigit(image[w] >> 8);
        text += HexDigit(image[w]);
    }
    return text;
}

void EncodeDigitPairs(UnitWords &image, int word, const QString &text, int n)
{
    QString pairs;
    if (n % 2 == 1)
        pairs = QStringLiteral("00");
    for (QChar c : FitDigits(text, n)) {
        pairs += QLatin1Char('0');
        pairs += c;
    }
    for (int i = 0; i + 4 <= pairs.size(); i += 4)
        image[word++] = HexParse(pairs.mid(i, 4));
}

void ImageToFields(const UnitWords &image, FieldValues &fields)
{
    for (int i = 0; i < SpeedDialCount; ++i) {
        QString nibbles;
        for (int k = 0; k < word::SpeedDialWords; ++k)
            nibbles += WordHexText(image[word::SpeedDialFirst + word::SpeedDialWords * i + k]);
        fields.SpeedDialText[i] = DigitsOnly(nibbles);
    }
    fields.ConfigTexts[PrimaryCode] = DecodeDigitPairs(image, word::PrimaryCode, {});
    fields.ConfigTexts[SecondaryCode] = DecodeDigitPairs(image, word::SecondaryCode, {});
    fields.ConfigTexts[LowerBlockDecode] = DecodeDigitPairs(image, word::LowerBlock, {});
    QString upper = DecodeDigitPairs(image, word::UpperBlock, {});
    fields.ConfigTexts[UpperBlockDecode] = upper == EmptyUpperMarker ? QString() : upper;
    fields.ConfigTexts[FiveDigitAccessCode] =
        DecodeDigitPairs(image, word::UnitAccessCode + 1, HexDigit(image[word::UnitAccessCode]));
    // The system ID is a whole number shown as its last two decimal digits.
    QString id = QStringLiteral("0") + QString::number(static_cast<std::int16_t>(image[word::SystemId]));
    fields.ConfigTexts[TrunkingSystemId] = id.right(2);

    fields.ConfigListIndex[0] = static_cast<std::int16_t>(image[word::SystemTone]);
    fields.ConfigListIndex[1] = static_cast<std::int16_t>(image[word::BusyChannelDetect]);
    fields.ConfigOptionValue[0] = static_cast<std::int16_t>(image[word::PrioritySubscriber]);
    fields.ConfigOptionValue[1] = static_cast<std::int16_t>(image[word::FleetDispatch]);
    fields.ConfigOptionValue[2] = static_cast<std::int16_t>(image[word::EmergencyOverride]);
    fields.ConfigOptionValue[3] = static_cast<std::int16_t>(image[word::ClearChannelAlerting]);
    fields.ConfigOptionValue[4] = static_cast<std::int16_t>(image[word::MemorySpeedDial]);

    for (int i = 0; i < GroupCodeCount; ++i) {
        std::uint16_t w = image[word::GroupCodeFirst + i];
        fields.GroupCodeText[i] = w == word::EmptyGroupCode ? QString() : WordHexText(w);
    }
}

void FieldsToImage(const FieldValues &fields, UnitWords &image)
{
    for (int i = 0; i < SpeedDialCount; ++i) {
        const int w = word::SpeedDialFirst + word::SpeedDialWords * i;
        QString s = DigitsOnly(fields.SpeedDialText[i]);
        if (s.isEmpty()) {
            for (int k = 0; k < word::SpeedDialWords; ++k)
                image[w + k] = 0xFFFF;
            continue;
        }
        s = s.size() < 16 ? QString(16 - s.size(), QLatin1Char('F')) + s : s.left(16);
        for (int k = 0; k < word::SpeedDialWords; ++k)
            image[w + k] = HexParse(s.mid(4 * k, 4));
    }
    EncodeDigitPairs(image, word::PrimaryCode, DigitsOnly(fields.ConfigTexts[PrimaryCode]), 4);
    EncodeDigitPairs(image, word::SecondaryCode, DigitsOnly(fields.ConfigTexts[SecondaryCode]), 4);
    EncodeDigitPairs(image, word::LowerBlock, DigitsOnly(fields.ConfigTexts[LowerBlockDecode]), 4);
    const QString &upper = fields.ConfigTexts[UpperBlockDecode];
    EncodeDigitPairs(image, word::UpperBlock, upper.isEmpty() ? EmptyUpperMarker : DigitsOnly(upper), 4);
    EncodeDigitPairs(image, word::UnitAccessCode, DigitsOnly(fields.ConfigTexts[FiveDigitAccessCode]), 5);
    image[word::SystemId] =
        static_cast<std::uint16_t>(FitDigits(DigitsOnly(fields.ConfigTexts[TrunkingSystemId]), 2).toInt());

    image[word::SystemTone] = static_cast<std::uint16_t>(fields.ConfigListIndex[0]);
    image[word::BusyChannelDetect] = static_cast<std::uint16_t>(fields.ConfigListIndex[1]);
    image[word::AlwaysZero] = 0;
    image[word::PrioritySubscriber] = static_cast<std::uint16_t>(fields.ConfigOptionValue[0]);
    image[word::FleetDispatch] = static_cast<std::uint16_t>(fields.ConfigOptionValue[1]);
    image[word::EmergencyOverride] = static_cast<std::uint16_t>(fields.ConfigOptionValue[2]);
    image[word::ClearChannelAlerting] = static_cast<std::uint16_t>(fields.ConfigOptionValue[3]);
    image[word::MemorySpeedDial] = static_cast<std::uint16_t>(fields.ConfigOptionValue[4]);

    for (int i = 0; i < GroupCodeCount; ++i) {
        const QString &text = fields.GroupCodeText[i];
        // Group code 0 cannot be empty: it is stored as 0000 instead of the marker.
        image[word::GroupCodeFirst + i] =
            (!text.isEmpty() || i == 0) ? HexParse(FitDigits(DigitsOnly(text), 4)) : word::EmptyGroupCode;
    }
}

void ClampChoices(FieldValues &fields, const std::array<int, ConfigListCount> &maxIndex)
{
    for (int i = 0; i < ConfigListCount; ++i)
        if (fields.ConfigListIndex[i] < 0 || fields.ConfigListIndex[i] > maxIndex[i])
            fields.ConfigListIndex[i] = 0;
    for (auto &value : fields.ConfigOptionValue)
        if (value != 0 && value != 1)
            value = 0;
}

bool LowerBlockRule(FieldValues &fields, const QString &oldLower)
{
    const QString &lower = fields.ConfigTexts[LowerBlockDecode];
    if (lower == oldLower)
        return false;
    fields.ConfigTexts[UpperBlockDecode] = lower == QLatin1String("0000") ? QString() : lower;
    return true;
}

void UpperBlockRule(FieldValues &fields, const QString &oldUpper)
{
    QString &upper = fields.ConfigTexts[UpperBlockDecode];
    if (upper.isEmpty())
        return;
    // The range holds at most 20 consecutive block numbers, compared in decimal.
    const int lower = fields.ConfigTexts[LowerBlockDecode].toInt();
    const int value = upper.toInt();
    if (value > lower + 19 || value < lower)
        upper = oldUpper;
}

} // namespace vireo
