// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile_location.h"

#include <QDir>
#include <QFileInfo>

namespace vireo {

ProfileFile OpenProfile(const std::optional<QString> &profileFile)
{
    ProfileFile profile;
    profile.SetCurrentPath(ProgramFolder());
    profile.SetName(QString::fromLatin1(ProfileFileName));
    if (profileFile) {
        profile.SetFullPath(QDir::toNativeSeparators(QFileInfo(*profileFile).absoluteFilePath()));
    } else {
        const ProfileLocation location = ProgramProfileLocation();
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
