// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a regular file on POSIX systems: without waiting on a FIFO, the
// type decided on the opened descriptor rather than on the name.
#include "file_system.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vireo {

Result<> OpenRegularOnDisk(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    const bool writing = mode.testFlag(QIODevice::WriteOnly);
    // Without O_NONBLOCK, opening a FIFO waits for the other side, or for
    // writing fails with an odd reason; the type is then checked on the
    // descriptor itself, not on a path that may have changed.
    const QByteArray name = QFile::encodeName(path);
    if (struct stat before{}; writing && ::stat(name.constData(), &before) == 0 && !S_ISREG(before.st_mode))
        return NotRegular();
    const int flags = (writing ? O_WRONLY | O_CREAT : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::open(name.constData(), flags, 0666);
    if (fd < 0)
        return Failure{QString::fromLocal8Bit(std::strerror(errno))};
    struct stat status {};
    int error = 0; // -1: not a regular file
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        error = -1;
    else if (writing && ::ftruncate(fd, 0) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        return error < 0 ? NotRegular() : Failure{QString::fromLocal8Bit(std::strerror(error))};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Failure{file.errorString()};
    }
    return {};
}

} // namespace vireo
