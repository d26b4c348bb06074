// SPDX-License-Identifier: GPL-3.0-or-later
// The rule that places the profile; the per-user folder is the system's
// (profile_folder_<system>.cpp).
#include "profile_location.h"

#include "model/atomic_file.h"
#include "model/settings_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vireo {

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

ProfileFile OpenProfile(const std::optional<QString> &profileFile)
{
    ProfileFile profile;
    const QString programFolder = QCoreApplication::applicationDirPath();
    profile.SetCurrentPath(programFolder);
    profile.SetName(QString::fromLatin1(ProfileFileName));
    if (profileFile) {
        profile.SetFullPath(QDir::toNativeSeparators(QFileInfo(*profileFile).absoluteFilePath()));
    } else {
        const ProfileLocation location = ChooseProfileLocation(
            programFolder, CanCreateFilesIn(programFolder) && !IsInstalledProgram(programFolder),
            UserProfileFolder());
        if (location.perUser) {
            profile.SetFullPath(QDir::toNativeSeparators(location.path));
            profile.SetReadFallback(location.readFallback);
            profile.SetCreateFolder(true);
        }
    }
    profile.SetSection(QString::fromLatin1(StartupSection));
    return profile;
}

} // namespace vireo
