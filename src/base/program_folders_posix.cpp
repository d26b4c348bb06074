// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user folders on POSIX systems: the XDG configuration folder for
// the profile, the XDG data folder for backups.
#include "program_folders.h"

#include <QStandardPaths>

namespace vireo {

QString UserProfileFolder()
{
    // Not AppConfigLocation: that folder is named after the running program,
    // which would give vireo-cli a profile of its own.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/vireo");
}

QString UserBackupFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/vireo/backups");
}

} // namespace vireo
