// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli show: every field of a settings file as the editor shows it.
#include "cli_common.h"
#include "model/field_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vireo::cli {

namespace {

QByteArray ShowJson(const UnitModel &model)
{
    const FieldValues &f = model.Fields;
    QJsonObject fields{{QStringLiteral("SpeedDial"), JsonTexts(f.SpeedDialText)},
                       {QStringLiteral("Config1"), JsonTexts(f.ConfigTexts)},
                       {QStringLiteral("Config2"), JsonNumbers(f.ConfigListIndex)},
                       {QStringLiteral("Config3"), JsonNumbers(f.ConfigOptionValue)},
                       {QStringLiteral("GroupCode"), JsonTexts(f.GroupCodeText)}};
    QJsonObject root{{QStringLiteral("fields"), fields},
                     {QStringLiteral("words"), JsonNumbers(model.UnitImage)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

class ShowCommand : public Command {
  public:
    ShowCommand()
        : Command(QStringLiteral("show"),
                  QStringLiteral("show FILE [--json]            print every field of a settings file"))
    {
        m_syntax.usage = QStringLiteral("vireo-cli show FILE [--json]");
        m_syntax.about =
            QStringLiteral("Prints every field of FILE as the editor shows it after opening it.\n");
        m_syntax.epilogue = QStringLiteral("Exit status: 0 done; 1 wrong call; 2 the file cannot be read.\n");
        m_syntax.options = {
            {QStringLiteral("json"),
             QStringLiteral("{\"fields\": {...}, \"words\": [the 99 words the window would save]}")}};
        m_syntax.minArguments = m_syntax.maxArguments = 1;
        m_syntax.missingArguments = QStringLiteral("no settings file given");
    }

  protected:
    int Execute(const QCommandLineParser &parser) override
    {
        Editor editor;
        if (const int status = editor.Load(parser.positionalArguments().first()))
            return status;
        if (parser.isSet(QStringLiteral("json"))) {
            Out() << ShowJson(editor.model);
            return ExitOk;
        }
        for (const FieldEntry &field : AllFields())
            Out() << qSetFieldWidth(14) << Qt::left << field.key << qSetFieldWidth(0) << field.caption << ": "
                  << ShownValue(field, editor.model) << '\n';
        return ExitOk;
    }
};

} // namespace

std::unique_ptr<Command> MakeShowCommand()
{
    return std::make_unique<ShowCommand>();
}

} // namespace vireo::cli
