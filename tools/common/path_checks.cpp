// SPDX-License-Identifier: GPL-3.0-or-later
// The real location of a path, which every system compares first; what
// identifies a file and a device is the system's (path_checks_<system>.cpp).
#include "path_checks.h"

#include "base/file_paths.h"

#include <QFileInfo>

namespace vireo::tool {

QString RealLocation(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth) // the kernel's own link limit
        info.setFile(info.symLinkTarget());
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    const QString absolute = AbsoluteFolderOf(info.filePath());
    const QString folder = QFileInfo(absolute).canonicalFilePath();
    return (folder.isEmpty() ? absolute : folder) + QLatin1Char('/') +
           FileNameOf(info.filePath(), PathSeparators::System);
}

} // namespace vireo::tool
