// SPDX-License-Identifier: GPL-3.0-or-later
#include "routing_legend.h"

#include "base/latin1_text.h"

namespace vireo {

RoutingLegend DrawRoutingCodeTable()
{
    static const char *const codes[6] = {"1", "2", "3", "4", "9", "0"};
    static const char *const destinations[6] = {"Subscriber to Landline 1", "Subscriber to Landline 2",
                                                "Subscriber to Subscriber", "Fleet-Dispatch(Group Call)",
                                                "Mobile Operator",          "Emergency"};
    constexpr int Left = 4560, Divider = 5260, Right = 7620, Top = 2760, Bottom = 4620;
    constexpr int RowOrigin = Top + 420, RowHeight = 240;

    RoutingLegend legend;
    legend.headings[0] = {4600, 2765, QStringLiteral("Routing")};
    legend.headings[1] = {4660, 2950, QStringLiteral("Code")};
    legend.headings[2] = {5940, 2880, QStringLiteral("Destination")};
    legend.lines[10] = {Left, Top, Right, Top};
    legend.lines[9] = {Left, Top, Left, Bottom};
    legend.lines[8] = {Divider, Top, Divider, Bottom};
    legend.lines[7] = {Right, Top, Right, Bottom};
    legend.lines[6] = {Left, RowOrigin, Right, RowOrigin};
    for (int k = 0; k < 6; ++k) {
        const int y = RowOrigin + (k + 1) * RowHeight;
        legend.lines[k] = {Left, y, Right, y};
        legend.codes[k] = {4860, RowOrigin + k * RowHeight + 10, Latin1Text(codes[k])};
        legend.destinations[k] = {5340, RowOrigin + k * RowHeight + 10, Latin1Text(destinations[k])};
    }
    return legend;
}

} // namespace vireo
