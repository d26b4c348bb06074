// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that place the program's files; the per-user folder is the
// system's (program_folders_<system>.cpp).
#include "program_folders.h"

#include "atomic_file.h"
#include "file_paths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace vireo {

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString InstalledDataPath(const QString &programFolder, const QString &name)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/vireo/") + name);
}

bool IsInstalledProgram(const QString &programFolder)
{
    const QString initial = QString::fromLatin1(InitialFileName);
    return !QFileInfo::exists(QDir(programFolder).filePath(initial)) &&
           QFileInfo::exists(InstalledDataPath(programFolder, initial));
}

QString InitialFilePath()
{
    // Beside the program (a build tree, a portable copy); once installed, in
    // the shared data folder next to bin/. Missing from both: the path beside
    // the program, which the error message then names.
    const QString folder = ProgramFolder();
    return IsInstalledProgram(folder) ? InstalledDataPath(folder, QString::fromLatin1(InitialFileName))
                                      : JoinPath(folder, QString::fromLatin1(InitialFileName));
}

ProfileLocation ChooseProfileLocation(const QString &programFolder, bool programFolderWritable,
                                      const QString &userFolder)
{
    const QString name = QString::fromLatin1(ProfileFileName);
    const QString beside = QDir(programFolder).filePath(name);
    if (programFolderWritable)
        return {beside, QString(), false};
    ProfileLocation location{QDir(userFolder).filePath(name), QString(), true};
    if (QFileInfo::exists(beside))
        location.readFallback = beside;
    return location;
}

ProfileLocation ProgramProfileLocation()
{
    const QString programFolder = ProgramFolder();
    return ChooseProfileLocation(programFolder,
                                 CanCreateFilesIn(programFolder) && !IsInstalledProgram(programFolder),
                                 UserProfileFolder());
}

QString NewBackupPath(const QString &folder)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = JoinPath(folder, stamp + QStringLiteral(".st2"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = JoinPath(folder, QStringLiteral("%1-%2.st2").arg(stamp).arg(n));
    return path;
}

} // namespace vireo
