// SPDX-License-Identifier: GPL-3.0-or-later
// Window geometry shared by every window of the program: measures in twips
// (1440 to the inch) turned into pixels with one rounding rule, and the one
// placement rule, centre over a window and then keep on the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vireo {

inline constexpr int TwipsPerInch = 1440;

/// Twips to pixels at the screen's logical dots per inch, to the nearest
/// pixel (halves away from zero); 15 twips make a pixel at 96 DPI.
int TwipsToPixels(double twips, double dpi);
QSize TwipsToPixels(int widthTwips, int heightTwips, double dpi);
/// Pixels to twips by the same rule, for positions kept in the profile.
int PixelsToTwips(int pixels, double dpi);

/// Where a window of `window`'s size goes so that it stays on `screen` (the
/// available area, which need not start at 0,0), horizontally first: past the
/// right edge it moves left, then past the left edge it moves right, so on a
/// screen smaller than the window its left edge wins; the same for top.
QPoint KeepOnScreen(const QRect &window, const QRect &screen);

/// A window of `size` centred over `owner` (halving exactly, then rounding),
/// then kept on the screen.
QPoint CentreOver(const QSize &size, const QRect &owner, const QRect &screen);

} // namespace vireo
