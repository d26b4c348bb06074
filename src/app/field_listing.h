// SPDX-License-Identifier: GPL-3.0-or-later
// The 43 editor fields by name: their captions, the names by which scripts
// address them, and the value each shows. Used wherever fields are listed or
// chosen outside the window (show, set, diff).
#pragma once

#include "model/field_binding.h"
#include "model/unit_model.h"

#include <QString>
#include <optional>
#include <vector>

namespace vireo {

struct FieldEntry {
    ControlArray array;
    int index;
    QString key;     ///< control array and index, e.g. "Config1[2]"
    QString alias;   ///< readable name, e.g. "lower-block-decode"
    QString caption; ///< the window's label, e.g. "Lower Block Decode"
};

/// Every editor field, in the window's order.
const std::vector<FieldEntry> &AllFields();
/// A field by key or alias (letter case ignored).
std::optional<FieldEntry> FindField(const QString &name);
/// The field's value as the editor shows it (list items by text, check boxes as on/off).
QString ShownValue(const FieldEntry &field, const UnitModel &model);

} // namespace vireo
