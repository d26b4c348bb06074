// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user folders on Windows: "Vireo" in the roaming application
// data, which follows the user from PC to PC in a domain; backups stay in
// the local application data.
#include "program_folders.h"

#include <QDir>
#include <QStandardPaths>

#include <shlobj.h>

namespace vireo {

QString UserProfileFolder()
{
    // Qt names only the local application data without a program's name in it.
    PWSTR roaming = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &roaming)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(roaming));
    CoTaskMemFree(roaming);
    if (folder.isEmpty())
        folder = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    return folder + QStringLiteral("/Vireo");
}

QString UserBackupFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Vireo/backups");
}

} // namespace vireo
