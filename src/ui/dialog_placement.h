// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program's small modal windows open: centred over the main window
// and kept on the screen, measured with their frames.
#pragma once

#include <QRect>

class QWidget;

namespace vireo {

/// Moves `window` so that its outer rectangle is centred over `owner` (the
/// main window's outer rectangle in pixels) and stays on the available area
/// of the screen the owner is on. Call it when the window is about to show,
/// once its size is final.
void PlaceOverOwner(QWidget *window, const QRect &owner);

} // namespace vireo
