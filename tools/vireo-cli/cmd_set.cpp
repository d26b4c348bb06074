// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli set: changes fields the way a user does in the window (focus the
// field, put the value in, press Enter), so every correction and block rule
// applies exactly as there, then saves like the Save command.
#include "cli_common.h"
#include "model/field_table.h"

namespace vireo::cli {

namespace {

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
        QList<FieldAssignment> assignments;
        for (const QString &arg : args.mid(1)) {
            const std::optional<FieldAssignment> a = ParseFieldAssignment(arg);
            if (!a)
                return WrongCall(QStringLiteral("not a field assignment: '%1' (NAME=value, where NAME is %2)")
                                     .arg(arg, FieldNamesText()));
            assignments.append(*a);
        }

        Editor editor;
        if (const int status = editor.Load(path))
            return status;
        // Each assignment is typed into its field and committed with Enter; a
        // field that then loses the focus has nothing left to commit.
        for (const FieldAssignment &a : assignments) {
            if (const Result<> assigned = AssignField(editor.binding, editor.controls, a.field, a.value);
                !assigned)
                return WrongCall(QStringLiteral("'%1' cannot take the value '%2': %3")
                                     .arg(a.field.key, a.value, assigned.error()));
        }
        // Saving reads every field first, as the Save command does.
        editor.binding.ReadAllFields();
        if (const Result<> saved = SaveDataFile(out, editor.model); !saved)
            return FileError(FileErrorCode::CannotSave, out, saved.error());
        return ExitOk;
    }
};

} // namespace

std::unique_ptr<Command> MakeSetCommand()
{
    return std::make_unique<SetCommand>();
}

} // namespace vireo::cli
