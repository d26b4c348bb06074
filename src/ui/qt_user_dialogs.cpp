// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_user_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "base/latin1_text.h"
#include "model/settings_file.h"

namespace vireo {

namespace {

// The data-file filter "description|pattern" as Qt's dialogs take it: the
// description, which already names the pattern.
QString QtFilter()
{
    return Latin1Text(DataFileFilter).section(QLatin1Char('|'), 0, 0);
}

// Qt's dialogs take one start path: the folder, with the start name selected
// in it (a name with its own folder keeps that folder).
QString StartPath(const QString &startName, const QString &startFolder)
{
    return startFolder.isEmpty() ? startName : QDir(startFolder).filePath(startName);
}

} // namespace

Answer QtUserDialogs::MessageBox(const QString &text, Buttons buttons)
{
    QMessageBox box(QMessageBox::Warning, Latin1Text(AppTitle), text, QMessageBox::NoButton, m_parent);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return AnswerOk;
    case QMessageBox::Yes:
        return AnswerYes;
    case QMessageBox::No:
        return AnswerNo;
    default:
        // Escape and the close box answer Cancel; with only OK they answer OK.
        return buttons == Buttons::Ok ? AnswerOk : AnswerCancel;
    }
}

std::optional<QString> QtUserDialogs::OpenFileName(const QString &startName, const QString &startFolder)
{
    const QString name =
        QFileDialog::getOpenFileName(m_parent, QString(), StartPath(startName, startFolder), QtFilter());
    return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

std::optional<QString> QtUserDialogs::SaveFileName(const QString &startName, const QString &startFolder)
{
    // No suffix is ever added: the name the user types is the name saved.
    const QString name =
        QFileDialog::getSaveFileName(m_parent, QString(), StartPath(startName, startFolder), QtFilter());
    return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

} // namespace vireo
