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

/** Geometry and captions of the legend: six rows of a code and its destination under a heading band. */
struct RoutingLegend {
    /// Rules 0 to 5 under each row, 6 under the heading band, then the
    /// right edge, the divider between the columns, the left edge and the top.
    std::array<LegendLine, 11> lines;
    /// "Routing" and "Code" over the codes, "Destination" over the destinations.
    std::array<LegendLabel, 3> headings;
    /// The routing codes "1" to "0", one a row.
    std::array<LegendLabel, 6> codes;
    /// What each row's code dials.
    std::array<LegendLabel, 6> destinations;
};

/// Builds the legend afresh: six rows under a two-line heading band.
RoutingLegend DrawRoutingCodeTable();

} // namespace vireo
