// SPDX-License-Identifier: GPL-3.0-or-later
#include "document.h"

namespace vireo {

void Document::SetUntitled()
{
    CurrentFileName = QString::fromLatin1(UntitledName);
    HasFileName = false;
    MarkClean();
}

void Document::SetFileName(const QString &path)
{
    CurrentFileName = path;
    HasFileName = true;
    MarkClean();
}

QString Document::UpdateCaption() const
{
    QString name = FileNameOnly(CurrentFileName);
    // Cut at the first dot, but keep a name that starts with one whole.
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 1)
        name.truncate(dot);
    return name + QStringLiteral(" - ") + QString::fromLatin1(AppTitle);
}

QString Document::PromptText(PromptKind kind) const
{
    switch (kind) {
    case PromptKind::SaveChanges:
        return QStringLiteral("Save changes to ") + FileNameOnly(CurrentFileName) + QLatin1Char('?');
    case PromptKind::CloneWrite:
        return QStringLiteral("Write to transceiver.");
    case PromptKind::CloneReadEdited:
        break;
    }
    return QStringLiteral("Read from transceiver,Data has been edited.");
}

Answer Document::ConfirmPrompt(PromptKind kind, UserDialogs &dialogs) const
{
    return dialogs.MessageBox(PromptText(kind),
                              kind == PromptKind::SaveChanges ? Buttons::YesNoCancel : Buttons::OkCancel);
}

void ShowFileError(UserDialogs &dialogs, FileErrorCode code, const QString &fileName, const QString &reason)
{
    dialogs.MessageBox(FileErrorText(code, fileName, reason), Buttons::Ok);
}

} // namespace vireo
