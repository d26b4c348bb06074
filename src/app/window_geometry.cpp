// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_geometry.h"

#include <algorithm>
#include <cmath>

namespace vireo {

namespace {

// Saturates instead of overflowing: positions come from the profile unchecked.
int RoundToInt(double value)
{
    return static_cast<int>(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
}

qint64 KeepInside(qint64 start, qint64 length, qint64 areaStart, qint64 areaLength)
{
    if (start + length > areaStart + areaLength)
        start = areaStart + areaLength - length;
    if (start < areaStart)
        start = areaStart;
    return start;
}

} // namespace

int TwipsToPixels(double twips, double dpi)
{
    return RoundToInt(twips * dpi / TwipsPerInch);
}

QSize TwipsToPixels(int widthTwips, int heightTwips, double dpi)
{
    return QSize(TwipsToPixels(widthTwips, dpi), TwipsToPixels(heightTwips, dpi));
}

int PixelsToTwips(int pixels, double dpi)
{
    return RoundToInt(pixels * double(TwipsPerInch) / dpi);
}

QPoint KeepOnScreen(const QRect &window, const QRect &screen)
{
    return QPoint(int(KeepInside(window.x(), window.width(), screen.x(), screen.width())),
                  int(KeepInside(window.y(), window.height(), screen.y(), screen.height())));
}

QPoint CentreOver(const QSize &size, const QRect &owner, const QRect &screen)
{
    const int left = RoundToInt(owner.x() + (owner.width() - size.width()) / 2.0);
    const int top = RoundToInt(owner.y() + (owner.height() - size.height()) / 2.0);
    return KeepOnScreen(QRect(QPoint(left, top), size), screen);
}

} // namespace vireo
