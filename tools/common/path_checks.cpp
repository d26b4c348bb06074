// SPDX-License-Identifier: GPL-3.0-or-later
// Path checks through stat(2), which sees through links to what they name.
#include "path_checks.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace vireo::tool {

namespace {

// Where a name leads once every link is followed, also when the file does not
// exist yet: the real location of its folder and its own name.
QString RealLocation(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth) // the kernel's own link limit
        info.setFile(info.symLinkTarget());
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

} // namespace

bool SameFile(const QString &a, const QString &b)
{
    if (RealLocation(a) == RealLocation(b))
        return true;
    struct stat sa {
    }, sb{};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool IsNoDevice(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISCHR(st.st_mode);
}

} // namespace vireo::tool
