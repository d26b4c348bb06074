// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_paths.h"

#include "model/settings_file.h"

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
    const QString beside = JoinPath(ProgramFolder(), QString::fromLatin1(InitialFileName));
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QDir::cleanPath(ProgramFolder() + QStringLiteral("/../share/vireo/") + QString::fromLatin1(InitialFileName));
    return QFileInfo::exists(installed) ? installed : beside;
}

} // namespace vireo
