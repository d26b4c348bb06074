// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli set: changes fields the way a user does in the window (focus the
// field, put the value in, press Enter), so every correction and block rule
// applies exactly as there, then saves like the Save command.
#include "app/field_listing.h"
#include "cli_common.h"

#include <optional>

namespace vireo::cli {

namespace {

struct Assignment {
    FieldEntry field;
    QString value;
};

// MERGE: switch to vireo::AssignField from "model/field_table.h" (on/off only
// on/off/1/0, list texts without regard to case, a tone by its number, a
// refusal naming the accepted values) and delete PutValue.
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

// MERGE: FindField moves to "model/field_table.h".
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

class SetCommand : public Command {
  public:
    SetCommand()
        : Command(
              QStringLiteral("set"),
              QStringLiteral("set FILE ASSIGNMENT... [-o OUT]  change fields as the editor would, then save"))
    {
        m_syntax.usage =
            QStringLiteral("vireo-cli set FILE ASSIGNMENT... [-o OUT]   "
                           "(ASSIGNMENT: Array[index]=value or alias=value, e.g. Config1[2]=0100)");
        m_syntax.about = QStringLiteral(
            "Changes fields of FILE as typing and Enter in the window would, then saves like the Save\n"
            "command, to OUT or back to FILE. Fields are named as 'vireo-cli show' lists them, or by "
            "alias.\n");
        m_syntax.epilogue =
            QStringLiteral("Exit status: 0 done; 1 wrong call or a value the field cannot take;\n"
                           "2 the file cannot be read or saved.\n");
        m_syntax.options = {{{QStringLiteral("o"), QStringLiteral("output")},
                             QStringLiteral("save to OUT instead of FILE"),
                             QStringLiteral("OUT")}};
        m_syntax.minArguments = 2;
        m_syntax.maxArguments = -1;
        m_syntax.missingArguments = QStringLiteral("a settings file and at least one assignment are needed");
    }

  protected:
    int Execute(const QCommandLineParser &parser) override
    {
        const QStringList args = parser.positionalArguments();
        const QString path = args.first();
        const QString out = parser.isSet(QStringLiteral("o")) ? parser.value(QStringLiteral("o")) : path;
        QList<Assignment> assignments;
        for (const QString &arg : args.mid(1)) {
            const std::optional<Assignment> a = ParseAssignment(arg);
            if (!a)
                return WrongCall(QStringLiteral("not a field assignment: '%1'").arg(arg));
            assignments.append(*a);
        }

        Editor editor;
        if (const int status = editor.Load(path))
            return status;
        std::optional<FieldEntry> focused;
        for (const Assignment &a : assignments) {
            const bool sameField =
                focused && focused->array == a.field.array && focused->index == a.field.index;
            if (!sameField) {
                if (focused) // the field that had the focus commits as it loses it
                    editor.binding.Commit(focused->array, focused->index);
                focused = a.field;
                if (a.field.array == ControlArray::Config1)
                    editor.binding.Config1FocusGained(a.field.index);
            }
            if (!PutValue(editor, a))
                return WrongCall(QStringLiteral("'%1' cannot take the value '%2'").arg(a.field.key, a.value));
            editor.binding.Commit(a.field.array, a.field.index); // Enter
        }
        // Saving reads every field first, as the Save command does.
        editor.binding.ReadAllFields();
        // MERGE: SaveDataFile returns Result<>: `if (const auto saved = ...; !saved)` with saved.error().
        const SaveResult saved = SaveDataFile(out, editor.model);
        if (!saved.ok)
            return FileError(FileErrorCode::CannotSave, out, saved.reason);
        return ExitOk;
    }
};

} // namespace

std::unique_ptr<Command> MakeSetCommand()
{
    return std::make_unique<SetCommand>();
}

} // namespace vireo::cli
