// SPDX-License-Identifier: GPL-3.0-or-later
#include "twip_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vireo {

namespace {

// The screen a widget is on; the primary screen without a widget.
const QScreen *ScreenOf(const QWidget *widget)
{
    return widget ? widget->screen() : QGuiApplication::primaryScreen();
}

} // namespace

TwipScale TwipScale::For(const QWidget *widget)
{
    const QScreen *screen = ScreenOf(widget);
    return TwipScale(screen ? screen->logicalDotsPerInchX() : 96.0);
}

QRect TwipScale::Rect(int left, int top, int width, int height) const
{
    // Edges are converted, not sizes, so neighbouring controls never drift
    // apart or overlap by a rounding.
    const int x = Px(left), y = Px(top);
    return QRect(x, y, Px(left + width) - x, Px(top + height) - y);
}

void TwipScale::Place(QWidget *widget, int left, int top, int width, int height) const
{
    widget->setGeometry(Rect(left, top, width, height));
}

QFont ProgramFont(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QRect AvailableScreenArea(const QWidget *window)
{
    const QScreen *screen = ScreenOf(window);
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QRect AvailableAreaAt(const QPoint &point, const QWidget *window)
{
    const QScreen *screen = QGuiApplication::screenAt(point);
    return screen ? screen->availableGeometry() : AvailableScreenArea(window);
}

} // namespace vireo
