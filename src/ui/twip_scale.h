// SPDX-License-Identifier: GPL-3.0-or-later
// Lays out widgets by the program's measures in twips: one scale per window,
// from the logical dots per inch of the screen the window is on.
#pragma once

#include "app/window_geometry.h"

#include <QFont>
#include <QRect>

class QWidget;

namespace vireo {

/** Twips to pixels for one window; every widget of it is placed through it. */
class TwipScale {
  public:
    explicit TwipScale(double dpi = 96.0) : m_dpi(dpi) {}
    /// The scale of the screen `widget` is on (the primary screen before it is shown).
    static TwipScale For(const QWidget *widget);

    double Dpi() const { return m_dpi; }
    int Px(double twips) const { return TwipsToPixels(twips, m_dpi); }
    int Twips(int pixels) const { return PixelsToTwips(pixels, m_dpi); }
    QRect Rect(int left, int top, int width, int height) const;
    QSize Size(int width, int height) const { return TwipsToPixels(width, height, m_dpi); }
    /// Places `widget` at left, top with the given size, all in twips.
    void Place(QWidget *widget, int left, int top, int width, int height) const;

  private:
    double m_dpi;
};

/// The program's font, Arial at the given size, or the closest one there is
/// (a metric-compatible face where the system has one).
QFont ProgramFont(double points);

/// The available area of the screen a window is on (or the primary screen).
QRect AvailableScreenArea(const QWidget *window);
/// The available area of the screen under `point`; off every screen, that of
/// the screen `window` is on (the primary screen without a window).
QRect AvailableAreaAt(const QPoint &point, const QWidget *window = nullptr);

} // namespace vireo
