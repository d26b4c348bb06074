// SPDX-License-Identifier: GPL-3.0-or-later
// The clone access code as the user sees and types it: always five digits,
// leading zeros kept; an entry counts only when it is exactly five digits.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace vireo {

/// The code as the access code dialog shows it: the last five characters of
/// "0000" and the code in decimal, so 0 shows as "00000" and 123 as "00123".
QString AccessCodeText(std::int32_t code);

/// The code an entry stands for when it is exactly five characters "0" to
/// "9"; nothing otherwise (the dialog then shows the stored code again).
std::optional<std::int32_t> ParseAccessCode(const QString &text);

} // namespace vireo
