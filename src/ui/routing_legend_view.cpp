// SPDX-License-Identifier: GPL-3.0-or-later
#include "routing_legend_view.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace vireo {

RoutingLegendView::RoutingLegendView(const RoutingLegend &legend, const TwipScale &scale, QWidget *page)
    : QWidget(page), m_legend(legend), m_scale(scale)
{
    setObjectName(QStringLiteral("RoutingLegend"));
    // The widget spans the lines' extent; labels are its children, placed in page terms.
    int left = legend.Line1[0].x1, top = legend.Line1[0].y1, right = left, bottom = top;
    for (const LegendLine &line : legend.Line1) {
        left = std::min({left, line.x1, line.x2});
        right = std::max({right, line.x1, line.x2});
        top = std::min({top, line.y1, line.y2});
        bottom = std::max({bottom, line.y1, line.y2});
    }
    m_origin = QPoint(scale.Px(left), scale.Px(top));
    setGeometry(QRect(m_origin, QPoint(scale.Px(right), scale.Px(bottom))));
    const auto addLabel = [&](const LegendLabel &item, const QString &name) {
        auto *label = new QLabel(item.caption, this);
        label->setObjectName(name);
        label->move(QPoint(scale.Px(item.left), scale.Px(item.top)) - m_origin);
        label->adjustSize(); // each label takes the size of its caption
    };
    for (std::size_t i = 0; i < legend.LabelDial.size(); ++i)
        addLabel(legend.LabelDial[i], QStringLiteral("LabelDial%1").arg(i));
    for (std::size_t i = 0; i < legend.LabelNo.size(); ++i)
        addLabel(legend.LabelNo[i], QStringLiteral("LabelNo%1").arg(i));
}

void RoutingLegendView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A hairline at 96 DPI, as thick in proportion on denser screens.
    painter.setPen(QPen(palette().color(QPalette::Base), std::max(1, m_scale.Px(15))));
    for (const LegendLine &line : m_legend.Line1)
        painter.drawLine(QPoint(m_scale.Px(line.x1), m_scale.Px(line.y1)) - m_origin,
                         QPoint(m_scale.Px(line.x2), m_scale.Px(line.y2)) - m_origin);
}

} // namespace vireo
