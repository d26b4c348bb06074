// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli set: changes fields the way a user does in the window (focus the
// field, put the value in, press Enter), so every correction and block rule
// applies exactly as there, then saves like the Save command.
#include "app/field_listing.h"
#include "cli_common.h"

#include <optional>

namespace vireo::cli {

namespace {

const QString SetUsage =
    QStringLiteral("vireo-cli set FILE ASSIGNMENT... [-o OUT]   "
                   "(ASSIGNMENT: Array[index]=value or alias=value, e.g. Config1[2]=0100)");

struct Assignment {
    FieldEntry field;
    QString value;
};

// Puts the value into the control, as typing or choosing would; false when the
// control cannot hold it (an item the list does not have, an unknown state).
bool PutValue(Editor &editor, const Assignment &a)
{
    bool number = false;
    const int n = a.value.toInt(&number);
    switch (a.field.array) {
    case ControlArray::SpeedDial:
        editor.controls.SetText(TextArray::SpeedDial, a.field.index, a.value);
        return true;
    case ControlArray::Config1:
        editor.controls.SetText(TextArray::Config1, a.field.index, a.value);
        return true;
    case ControlArray::GroupCode:
        editor.controls.SetText(TextArray::GroupCode, a.field.index, a.value);
        return true;
    case ControlArray::Config2: {
        // Accept the item's index or its text.
        const QStringList &items = editor.model.Config2Items[a.field.index];
        const int item = number ? n : static_cast<int>(items.indexOf(a.value));
        if (item < 0 || item >= items.size())
            return false;
        editor.controls.SetListIndex(a.field.index, item);
        return true;
    }
    case ControlArray::Config3: {
        int state = n;
        if (a.value.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0)
            state = 1, number = true;
        else if (a.value.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0)
            state = 0, number = true;
        if (!number || state < 0 || state > 2)
            return false;
        editor.controls.SetCheckState(a.field.index, state);
        return true;
    }
    }
    return false;
}

std::optional<Assignment> ParseAssignment(const QString &text)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    const std::optional<FieldEntry> field = FindField(text.left(eq).trimmed());
    if (!field)
        return std::nullopt;
    return Assignment{*field, text.mid(eq + 1)};
}

} // namespace

int RunSet(const QStringList &args)
{
    QString path, out;
    QList<Assignment> assignments;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (++i == args.size())
                return UsageError(QStringLiteral("-o needs a file name"), SetUsage);
            out = args[i];
        } else if (path.isEmpty()) {
            path = arg;
        } else if (const auto a = ParseAssignment(arg)) {
            assignments.append(*a);
        } else {
            return UsageError(QStringLiteral("not a field assignment: '%1'").arg(arg), SetUsage);
        }
    }
    if (path.isEmpty() || assignments.isEmpty())
        return UsageError(QStringLiteral("a settings file and at least one assignment are needed"), SetUsage);
    if (out.isEmpty())
        out = path;

    Editor editor;
    if (const int status = editor.Load(path))
        return status;

    std::optional<FieldEntry> focused;
    for (const Assignment &a : assignments) {
        const bool sameField = focused && focused->array == a.field.array && focused->index == a.field.index;
        if (!sameField) {
            if (focused) // the field that had the focus commits as it loses it
                editor.binding.Commit(focused->array, focused->index);
            focused = a.field;
            if (a.field.array == ControlArray::Config1)
                editor.binding.Config1FocusGained(a.field.index);
        }
        if (!PutValue(editor, a))
            return UsageError(QStringLiteral("'%1' cannot take the value '%2'").arg(a.field.key, a.value),
                              SetUsage);
        editor.binding.Commit(a.field.array, a.field.index); // Enter
    }
    // Saving reads every field first, as the Save command does.
    editor.binding.ReadAllFields();
    const Result<> saved = SaveDataFile(out, editor.model);
    if (!saved)
        return FileError(FileErrorCode::CannotSave, out, saved.error());
    return ExitOk;
}

} // namespace vireo::cli
