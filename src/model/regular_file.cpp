// SPDX-License-Identifier: GPL-3.0-or-later
#include "regular_file.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vireo {

Result<> OpenRegularFile(QFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    // A resource built into the program (":/...") is no file on disk.
    if (!path.startsWith(QLatin1Char(':'))) {
        // Without O_NONBLOCK, opening a FIFO waits for a writer; the type is
        // then checked on the descriptor itself, not on a path that may have changed.
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return Failure{QString::fromLocal8Bit(std::strerror(errno))};
        struct stat status {};
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(fd);
            return Failure{QStringLiteral("not a regular file")};
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return Failure{file.errorString()};
        }
        return {};
    }
#endif
    if (const QFileInfo info(path); info.exists() && !info.isFile())
        return Failure{QStringLiteral("not a regular file")};
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{file.errorString()};
    return {};
}

} // namespace vireo
