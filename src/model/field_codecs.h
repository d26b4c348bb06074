// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between the unit image and the editor's field values, and every
// silent correction the editor applies to what the user typed. Pure functions:
// none of them touches a control.
#pragma once

#include "unit_model.h"

namespace vireo {

/// The characters 0..9 of text, in their order.
QString DigitsOnly(const QString &text);
/// Left-pads text with zeros to n characters, or keeps its first n characters.
QString FitDigits(const QString &text, int n);
/// prefix, then the low nibble of each byte of words word and word+1 as hex digits.
QString DecodeDigitPairs(const UnitWords &image, int word, const QString &prefix);
/// Writes FitDigits(text, n) as one digit per byte from word on (two words for
/// n = 4, three for n = 5 with the first digit alone in the first word).
void EncodeDigitPairs(UnitWords &image, int word, const QString &text, int n);

/// Sets every member of the field values from the image; no range checks.
void ImageToFields(const UnitWords &image, FieldValues &fields);
/// Writes the mapped words (and the always-zero word) from the field values;
/// the carried words are left as they are.
void FieldsToImage(const FieldValues &fields, UnitWords &image);
/// Out-of-range list indices and check states become 0.
void ClampChoices(FieldValues &fields, const std::array<int, ConfigListCount> &maxIndex);

/// Lower block decode committed: the upper bound follows it (empty for 0000).
/// Returns false when the lower bound did not change and nothing is to be done.
bool LowerBlockRule(FieldValues &fields, const QString &oldLower);
/// Upper block decode committed: a bound outside lower..lower+19 returns to oldUpper.
void UpperBlockRule(FieldValues &fields, const QString &oldUpper);

} // namespace vireo
