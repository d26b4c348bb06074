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

Result<> CheckNameIsText(const QString &path)
{
    if (path.contains(QChar::ReplacementCharacter))
        return Failure{QStringLiteral("the name is not valid UTF-8 text; rename the file")};
    return {};
}

namespace {

Failure NotRegular()
{
    return Failure{QStringLiteral("not a regular file")};
}

// Opens path into file with mode when a regular file is there (or, with
// QIODevice::WriteOnly, nothing yet: it is then made); never waits on a FIFO
// or device, and a file opened for writing is emptied only once it is known
// to be a regular file.
Result<> OpenRegular(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    if (const Result<> text = CheckNameIsText(path); !text)
        return text;
    const bool writing = mode.testFlag(QIODevice::WriteOnly);
#ifdef Q_OS_UNIX
    // A resource built into the program (":/...") is no file on disk.
    if (!path.startsWith(QLatin1Char(':'))) {
        // Without O_NONBLOCK, opening a FIFO waits for the other side, or for
        // writing fails with an odd reason; the type is then checked on the
        // descriptor itself, not on a path that may have changed.
        const QByteArray name = QFile::encodeName(path);
        if (struct stat before{};
            writing && ::stat(name.constData(), &before) == 0 && !S_ISREG(before.st_mode))
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
#endif
    if (const QFileInfo info(path); info.exists() && !info.isFile())
        return NotRegular();
    file.setFileName(path);
    if (!file.open(writing ? mode | QIODevice::Truncate : mode))
        return Failure{file.errorString()};
    return {};
}

} // namespace

Result<> OpenRegularFile(QFile &file, const QString &path)
{
    return OpenRegular(file, path, QIODevice::ReadOnly);
}

Result<> OpenRegularFileForWriting(QFile &file, const QString &path)
{
    // Unbuffered: each write reaches the file at once, and a refused one fails
    // there with the system's reason (a buffered flush would only say "Unknown error").
    return OpenRegular(file, path, QIODevice::WriteOnly | QIODevice::Unbuffered);
}

} // namespace vireo
