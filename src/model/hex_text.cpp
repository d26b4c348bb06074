// SPDX-License-Identifier: GPL-3.0-or-later
#include "hex_text.h"

namespace vireo {

QString WordHexText(std::uint16_t word)
{
    return QStringLiteral("%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
}

std::uint16_t LeadingHexValue(QByteArrayView text)
{
    std::uint16_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            break;
        value = static_cast<std::uint16_t>((value << 4) | digit);
    }
    return value;
}

} // namespace vireo
