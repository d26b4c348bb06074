// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_paths.h"

#include "model/settings_file.h"

#include <QCoreApplication>

namespace vireo {

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString InitialFilePath()
{
    return JoinPath(ProgramFolder(), QString::fromLatin1(InitialFileName));
}

} // namespace vireo
