// SPDX-License-Identifier: GPL-3.0-or-later
// What the user sees of a clone run besides the data: the message for each
// failure code and the progress bar's arithmetic.
#pragma once

#include "clone_types.h"

#include <QString>

namespace vireo {

/// The message shown for a failed run; empty for a result that shows none.
/// `portNumber` (1..4) is named by PortFailed.
QString CloneErrorText(CloneResult result, int portNumber);
/// Said whenever a write ends, failed or cancelled, after blocks were sent:
/// the unit then holds a mix of old and new settings.
QString PartialWriteText();

// The progress bar of the "Cloning" window.
inline constexpr int ProgressMinimum = 0;
inline constexpr int ProgressMaximum = 100;

/// The bar value after block n (0..98) was stored or sent: the whole part of
/// (maximum + 1) * n / 98, so the last block gives 101 (clamped to 100 on show).
int BlockProgress(int blockNo);
/// A value as the bar shows it: held to minimum..maximum.
int ClampProgress(int value);

} // namespace vireo
