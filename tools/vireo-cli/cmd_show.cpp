// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli show: every field of a settings file as the editor shows it.
#include "app/field_listing.h"
#include "cli_common.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vireo::cli {

namespace {

const QString ShowUsage = QStringLiteral("vireo-cli show FILE [--json]");

QByteArray ShowJson(const UnitModel &model)
{
    const FieldValues &f = model.Fields;
    QJsonObject fields{{QStringLiteral("SpeedDial"), JsonTexts(f.SpeedDialText)},
                       {QStringLiteral("Config1"), JsonTexts(f.Config1Text)},
                       {QStringLiteral("Config2"), JsonNumbers(f.Config2Index)},
                       {QStringLiteral("Config3"), JsonNumbers(f.Config3Value)},
                       {QStringLiteral("GroupCode"), JsonTexts(f.GroupCodeText)}};
    QJsonObject root{{QStringLiteral("fields"), fields},
                     {QStringLiteral("words"), JsonNumbers(model.UnitImage)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace

int RunShow(const QStringList &args)
{
    QString path;
    bool json = false;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--json"))
            json = true;
        else if (arg.startsWith(QLatin1Char('-')) || !path.isEmpty())
            return UsageError(QStringLiteral("unexpected argument '%1'").arg(arg), ShowUsage);
        else
            path = arg;
    }
    if (path.isEmpty())
        return UsageError(QStringLiteral("no settings file given"), ShowUsage);

    Editor editor;
    if (const int status = editor.Load(path))
        return status;
    if (json) {
        Out() << ShowJson(editor.model);
        return ExitOk;
    }
    for (const FieldEntry &field : AllFields())
        Out() << qSetFieldWidth(14) << Qt::left << field.key << qSetFieldWidth(0) << field.caption << ": "
              << ShownValue(field, editor.model) << '\n';
    return ExitOk;
}

} // namespace vireo::cli
