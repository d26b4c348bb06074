// SPDX-License-Identifier: GPL-3.0-or-later
// What differs between two unit images, as the window shows them: the fields
// by caption, then any differing word that no listed field stands for. Used
// to compare two files, the unit with the open document, and a write with
// what the unit holds afterwards.
#pragma once

#include "unit_model.h"

#include <QString>
#include <vector>

namespace vireo {

/** One difference: a field ("SpeedDial[0]", "Speed Dial 0") or a word ("word 17", "carried word"). */
struct ImageDifference {
    QString key;
    QString caption;
    QString left;      ///< the value in the first image, as shown (a word: four hex digits)
    QString right;     ///< the same in the second image
    bool word = false; ///< a word that no listed field stands for
};

/// The differences between the images of two models whose fields are decoded
/// (Fields shows UnitImage): every field whose shown value differs, in the
/// window's order, then every differing word that no listed field stands for.
std::vector<ImageDifference> CompareImages(const UnitModel &left, const UnitModel &right);

/// A model holding the words, their fields decoded exactly as stored (not normalised).
UnitModel DecodedModel(const UnitWords &words);
/// A model holding the words as the window shows them after a completed read (normalised).
UnitModel ShownModel(const UnitWords &words);

} // namespace vireo
