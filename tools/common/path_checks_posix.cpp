// SPDX-License-Identifier: GPL-3.0-or-later
// Path checks on POSIX systems through stat(2), which sees through links to
// what they name: one file is one device and inode.
#include "path_checks.h"

#include <QFile>

#include <sys/stat.h>

namespace vireo::tool {

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
