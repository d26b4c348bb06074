// SPDX-License-Identifier: GPL-3.0-or-later
#include "twip_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vireo {

TwipScale TwipScale::For(const QWidget *widget)
{
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
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
    const QScreen *screen = window ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace vireo
