// SPDX-License-Identifier: GPL-3.0-or-later
// Hexadecimal words: the strict four-digit form of files and fields, and the
// lenient leading-digits reading of clone replies.
#include "hex_text.h"

namespace vireo {

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QString WordHexText(std::uint16_t word)
{
    return QStringLiteral("%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
}

std::optional<std::uint16_t> ParseWordHex(QByteArrayView text)
{
    if (text.size() != 4)
        return std::nullopt;
    std::uint16_t value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = static_cast<std::uint16_t>((value << 4) | digit);
    }
    return value;
}

std::uint16_t LeadingHexValue(QByteArrayView text)
{
    std::uint16_t value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            break;
        value = static_cast<std::uint16_t>((value << 4) | digit);
    }
    return value;
}

} // namespace vireo
