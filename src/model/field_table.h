// SPDX-License-Identifier: GPL-3.0-or-later
// The 43 editor fields as one table: the key and alias scripts address them
// by, the window's caption, the image words each is stored in; and a field's
// value read as shown or set from text, as the editor would.
#pragma once

#include "base/result.h"
#include "editor_controls.h"
#include "field_binding.h"
#include "unit_model.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vireo {

struct FieldEntry {
    ControlArray array;
    int index;
    QString key;            ///< control array and index, e.g. "Config1[2]"
    QString alias;          ///< readable name, e.g. "lower-block-decode"
    QString caption;        ///< the window's label, e.g. "Lower Block Decode"
    std::vector<int> words; ///< the image words the field is stored in, in order
};

/// Every editor field, in the window's order.
const std::vector<FieldEntry> &AllFields();
/// The names FindField takes, ranges folded: "SpeedDial[0..13], ..., or
/// speed-dial.0..speed-dial.D, primary-code, ...".
QString FieldNamesText();
/// A field by key or alias (letter case ignored).
std::optional<FieldEntry> FindField(const QString &name);
/** One `Field=value` from a script: the field and the text to put into it. */
struct FieldAssignment {
    FieldEntry field;
    QString value;
};
/// Reads "key=value" or "alias=value" (spaces around the name ignored, the
/// value kept as written); nothing when there is no '=' after a field's name.
std::optional<FieldAssignment> ParseFieldAssignment(const QString &text);
/// The field's value as the editor shows it (list items by text, check boxes as on/off).
QString ShownValue(const FieldEntry &field, const UnitModel &model);

/// Sets the field from text as a user would: gives it the focus, puts the
/// value into the control and presses Enter, so every correction and block
/// rule of the editor applies. Text fields take any text. Check boxes take
/// on, off (any case), 1 or 0. Lists take an item's text in any case
/// ("3:123.0Hz"), the same without its number ("123.0Hz") or without its
/// unit too ("123.0"), or the item's number ("3"). Anything else is refused
/// with the values the field accepts, and the control and image stay as they were.
Result<> AssignField(FieldBinding &binding, EditorControls &controls, const FieldEntry &field,
                     const QString &text);

} // namespace vireo
