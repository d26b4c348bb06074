// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_paths.h"

#include "model/settings_file.h"
#include "profile/profile_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vireo {

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
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

} // namespace vireo
