// SPDX-License-Identifier: GPL-3.0-or-later
// The routing-code legend beside the speed dials: a ruled table of the codes
// and their destinations, in twips relative to the Speed Dial page. Reference
// for the user only; no entry is checked against it.
#pragma once

#include <QString>
#include <array>

namespace vireo {

struct LegendLine {
    int x1, y1, x2, y2;
};

struct LegendLabel {
    int left, top;
    QString caption;
};

/** Geometry and captions of the legend: Line1(0..10), LabelDial(0..8), LabelNo(0..5). */
struct RoutingLegend {
    std::array<LegendLine, 11> Line1;
    std::array<LegendLabel, 9> LabelDial;
    std::array<LegendLabel, 6> LabelNo;
};

/// Builds the legend afresh: six rows under a two-line heading band.
RoutingLegend DrawRoutingCodeTable();

} // namespace vireo
