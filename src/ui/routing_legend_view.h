// SPDX-License-Identifier: GPL-3.0-or-later
// The routing-code legend on the Speed Dial page: the ruled table's lines in
// the window-background colour, and its labels sized to their captions.
#pragma once

#include "model/routing_legend.h"
#include "twip_scale.h"

#include <QWidget>

namespace vireo {

/** The legend, drawn once from its twips geometry onto a page. */
class RoutingLegendView : public QWidget {
    Q_OBJECT
  public:
    RoutingLegendView(const RoutingLegend &legend, const TwipScale &scale, QWidget *page);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    RoutingLegend m_legend;
    TwipScale m_scale;
    QPoint m_origin; ///< the page position of the widget's top left, in pixels
};

} // namespace vireo
