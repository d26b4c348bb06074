// SPDX-License-Identifier: GPL-3.0-or-later
// Hexadecimal text forms of words, shared by the settings files, the field
// codecs and the clone link.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

namespace vireo {

/// The value of one hexadecimal digit of either case; -1 for any other character.
int HexDigitValue(char c);

/// The word as exactly four upper-case hexadecimal digits ("0A05").
QString WordHexText(std::uint16_t word);

/// The word written as exactly four hexadecimal digits of either case;
/// nothing for any other text (a sign, a space, a fifth character, "12G4").
std::optional<std::uint16_t> ParseWordHex(QByteArrayView text);

/// The value of the leading hexadecimal digits of text (either case), as a
/// 16-bit pattern; 0 when the text does not start with one. Reading stops at
/// the first other character, so "12G4" gives 0x12. Only for replies on the
/// clone link, which the unit pads as it likes; files use ParseWordHex.
std::uint16_t LeadingHexValue(QByteArrayView text);

} // namespace vireo
