// SPDX-License-Identifier: GPL-3.0-or-later
#include "routing_legend_view.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace vireo {

RoutingLegendView::RoutingLegendView(const RoutingLegend &legend, const TwipScale &scale, QWidget *page)
    : QWidget(page), m_legend(legend), m_scale(scale)
{
    setObjectName(QStringLiteral("routingLegend"));
    // The widget spans the lines' extent; labels are its children, placed in page terms.
    int left = legend.lines[0].x1, top = legend.lines[0].y1, right = left, bottom = top;
    for (const LegendLine &line : legend.lines) {
        left = std::min({left, line.x1, line.x2});
        right = std::max({right, line.x1, line.x2});
        top = std::min({top, line.y1, line.y2});
        bottom = std::max({bottom, line.y1, line.y2});
    }
    m_origin = QPoint(scale.Px(left), scale.Px(top));
    setGeometry(QRect(m_origin, QPoint(scale.Px(right), scale.Px(bottom))));
    const auto addLabels = [&](const auto &labels, const char *kind) {
        for (std::size_t i = 0; i < labels.size(); ++i) {
            auto *label = new QLabel(labels[i].caption, this);
            label->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(kind)).arg(i));
            label->move(QPoint(scale.Px(labels[i].left), scale.Px(labels[i].top)) - m_origin);
            label->adjustSize(); // each label takes the size of its caption
        }
    };
    addLabels(legend.destinations, "routingDestination");
    addLabels(legend.headings, "routingHeading");
    addLabels(legend.codes, "routingCode");
}

void RoutingLegendView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A hairline at 96 DPI, as thick in proportion on denser screens.
    painter.setPen(QPen(palette().color(QPalette::Base), std::max(1, m_scale.Px(15))));
    for (const LegendLine &line : m_legend.lines)
        painter.drawLine(QPoint(m_scale.Px(line.x1), m_scale.Px(line.y1)) - m_origin,
                         QPoint(m_scale.Px(line.x2), m_scale.Px(line.y2)) - m_origin);
}

} // namespace vireo
