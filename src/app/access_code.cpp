// SPDX-License-Identifier: GPL-3.0-or-later
#include "access_code.h"

namespace vireo {

QString AccessCodeText(std::int32_t code)
{
    return QString(QStringLiteral("0000") + QString::number(code)).right(5);
}

std::optional<std::int32_t> ParseAccessCode(const QString &text)
{
    if (text.size() != 5)
        return std::nullopt;
    std::int32_t code = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        code = code * 10 + (c.unicode() - '0');
    }
    return code;
}

} // namespace vireo
