// SPDX-License-Identifier: GPL-3.0-or-later
// The single-instance lock on POSIX systems: flock() on a regular file of the
// user's own, in a folder only the user can use. The system drops the lock
// with the last descriptor of its holder, so a crash never leaves it held.
#include "single_instance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vireo {

namespace {

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Only the user may create, replace or read files in such a folder, so nobody
// else can plant a lock there.
bool IsPrivateFolder(const QByteArray &path)
{
    struct stat status {};
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & 077) == 0;
}

} // namespace

Result<QString> InstanceLockPath()
{
    const QString lockName = QStringLiteral("vireo.lock");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && IsPrivateFolder(runtime)) // a relative one means nothing
        return QDir(QFile::decodeName(runtime)).filePath(lockName);

    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QString folder = QDir(cache).filePath(QStringLiteral("vireo"));
    const QByteArray name = QFile::encodeName(folder);
    QDir().mkpath(cache); // a new account may have no cache folder yet
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        const int error = errno;
        return Failure{QStringLiteral("the folder %1 cannot be made (%2). Make sure your cache folder can be "
                                      "written, then start Vireo again.")
                           .arg(folder, SystemReason(error))};
    }
    // A folder of the user's left open to others (made by hand or by another
    // program) is closed rather than refused.
    struct stat status {};
    if (::lstat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid())
        ::chmod(name.constData(), 0700);
    if (!IsPrivateFolder(name))
        return Failure{QStringLiteral("%1 is not a folder of yours that only you can use. Remove it, then "
                                      "start Vireo again.")
                           .arg(folder)};
    return QDir(folder).filePath(lockName);
}

SingleInstance::SingleInstance(Result<QString> lockPath) : m_path(std::move(lockPath)) {}

SingleInstance::~SingleInstance()
{
    // The file stays: removing it could let a start that opened it a moment
    // earlier lock a name no later start sees.
    if (m_handle != -1)
        ::close(int(m_handle));
}

Result<InstanceState> SingleInstance::Acquire()
{
    if (m_handle != -1)
        return InstanceState::First;
    if (!m_path)
        return Failure{m_path.error()};
    const QString &path = *m_path;
    const QByteArray name = QFile::encodeName(path);
    const auto fail = [&path](const char *what, int error = 0) {
        const QString text = QString::fromLatin1(what);
        return Failure{error ? text.arg(path, SystemReason(error)) : text.arg(path)};
    };
    const char *const notRegular = "%1 is not a regular file. Remove it, then start Vireo again.";

    // Non-blocking, so a FIFO at the path never stops the start; the type and
    // owner are judged on the opened descriptor, not on a name that may change.
    const int fd =
        ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        const int error = errno;
        struct stat status {};
        const bool found = ::lstat(name.constData(), &status) == 0;
        if (found && S_ISLNK(status.st_mode))
            return fail("%1 is a symbolic link. Remove it, then start Vireo again.");
        if (found && !S_ISREG(status.st_mode))
            return fail(notRegular);
        return fail(
            "%1 cannot be opened (%2). Make sure you can write to its folder, then start Vireo again.",
            error);
    }
    struct stat status {};
    Result<InstanceState> state = InstanceState::First;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        state = fail(notRegular);
    else if (status.st_uid != ::geteuid())
        state = fail("%1 belongs to another user. Remove it, then start Vireo again.");
    else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        state = error == EWOULDBLOCK ? Result<InstanceState>(InstanceState::AlreadyRunning)
                                     : fail("%1 cannot be locked (%2). Point XDG_RUNTIME_DIR at a private "
                                            "folder on a local disk, then start Vireo again.",
                                            error);
    }
    if (!state || *state != InstanceState::First) {
        ::close(fd);
        return state;
    }
    m_handle = fd;
    // The process number is for a person looking at the file; nothing reads it back.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    [[maybe_unused]] const bool noted =
        ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.constData(), std::size_t(pid.size()), 0) == pid.size();
    return state;
}

} // namespace vireo
