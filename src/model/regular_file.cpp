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

Result<> OpenRegularFile(QFile &file, const QString &path)
{
    if (const Result<> text = CheckNameIsText(path); !text)
        return text;
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

Result<> OpenRegularFileForWriting(QFile &file, const QString &path)
{
    if (const Result<> text = CheckNameIsText(path); !text)
        return text;
#ifdef Q_OS_UNIX
    // Emptied only once the descriptor shows a regular file: O_TRUNC would act
    // first. A FIFO without a reader would not even open, with an odd reason.
    const QByteArray name = QFile::encodeName(path);
    if (struct stat before{}; ::stat(name.constData(), &before) == 0 && !S_ISREG(before.st_mode))
        return Failure{QStringLiteral("not a regular file")};
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return Failure{QString::fromLocal8Bit(std::strerror(errno))};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Failure{QStringLiteral("not a regular file")};
    }
    if (::ftruncate(fd, 0) != 0) {
        const int error = errno;
        ::close(fd);
        return Failure{QString::fromLocal8Bit(std::strerror(error))};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // Unbuffered: each write reaches the file at once, and a refused one fails
    // there with the system's reason (a buffered flush would only say "Unknown error").
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Failure{file.errorString()};
    }
    return {};
#else
    if (const QFileInfo info(path); info.exists() && !info.isFile())
        return Failure{QStringLiteral("not a regular file")};
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return Failure{file.errorString()};
    return {};
#endif
}

} // namespace vireo
