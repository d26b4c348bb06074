// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user folder on POSIX systems: the XDG configuration folder.
#include "program_folders.h"

#include <QStandardPaths>

namespace vireo {

QString UserProfileFolder()
{
    // Not AppConfigLocation: that folder is named after the running program,
    // which would give vireo-cli a profile of its own.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/vireo");
}

} // namespace vireo
