// SPDX-License-Identifier: GPL-3.0-or-later
// The atomic writer's system calls on POSIX systems: the temporary is locked
// while it is written, takes the old file's owner, group and mode, and is
// renamed over the target once it is on disk.
#include "file_paths.h"
#include "file_system.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vireo {

namespace {

Failure SystemFailure(int error)
{
    return Failure{QString::fromLocal8Bit(std::strerror(error))};
}

Failure OtherOwner()
{
    return Failure{QStringLiteral("it belongs to another user and saving would make it yours")};
}

Failure OtherGroup()
{
    return Failure{QStringLiteral("it belongs to a group you are not in and saving would give it yours")};
}

// Why the file at target (links followed) may not be replaced; old gets its
// status, or an st_mode of 0 when nothing is there.
Result<> InspectOldFile(const QByteArray &target, struct stat &old)
{
    if (::stat(target.constData(), &old) != 0) {
        old = {};
        return errno == ENOENT ? Result<>{} : SystemFailure(errno);
    }
    if (!S_ISREG(old.st_mode))
        return NotRegular();
    if (old.st_nlink > 1)
        return HasOtherNames();
    return {};
}

// Removes the temporaries of this target that a killed save left: ours, regular,
// and not locked, since a save in progress holds a lock on its temporary.
void RemoveLeftovers(const QByteArray &folder, const QByteArray &prefix)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name.size() != prefix.size() + TemporaryRandomChars || !name.startsWith(prefix))
            continue;
        const int fd =
            ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat status {};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// A new temporary in folder, its name in name, locked while it is open.
int CreateTemporary(const QByteArray &folder, const QByteArray &prefix, mode_t mode, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(prefix);
        const QByteArray path = folder + '/' + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            return -1;
        if (fd < 0)
            continue;
        // Another save's clean-up may have taken the new file for a left-over
        // before it was locked; it then holds the lock until the name is gone.
        // Without locks (a file system that has none) only that guard is lost.
        (void)::flock(fd, LOCK_EX);
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 &&
            opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// Writes bytes to the temporary and gives it the old file's owner, group and
// mode (in that order: a change of owner clears the set-user-ID bits).
Result<> FillTemporary(int fd, QByteArrayView bytes, const struct stat &old)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return SystemFailure(written < 0 ? errno : EIO);
        done += written;
    }
    if (old.st_mode != 0) {
        struct stat now {};
        if (::fstat(fd, &now) != 0)
            return SystemFailure(errno);
        if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
            ::fchown(fd, old.st_uid, old.st_gid) != 0) {
            if (errno != EPERM && errno != EINVAL)
                return SystemFailure(errno);
            return now.st_uid != old.st_uid ? OtherOwner() : OtherGroup();
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return SystemFailure(errno);
    }
    if (::fsync(fd) != 0)
        return SystemFailure(errno);
    return {};
}

} // namespace

bool CanCreateFilesIn(const QString &folder)
{
    return QFileInfo(folder).isWritable();
}

Result<> CheckReplaceable(const QString &target)
{
    struct stat old {};
    if (const Result<> found = InspectOldFile(QFile::encodeName(target), old); !found || old.st_mode == 0)
        return found;
    // Only root can make the new file another user's; the save's fchown has the last word.
    if (::geteuid() != 0 && old.st_uid != ::geteuid())
        return OtherOwner();
    return {};
}

Result<> ReplaceAtomically(const QString &path, QByteArrayView bytes)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat old {};
    if (const Result<> replaceable = InspectOldFile(target, old); !replaceable)
        return replaceable;
    const QByteArray folder = QFile::encodeName(FolderOf(path, PathSeparators::System));
    const QByteArray prefix = TemporaryPrefix(QFile::encodeName(FileNameOf(path, PathSeparators::System)));
    RemoveLeftovers(folder, prefix);

    // A new file gets the usual permissions (the umask's) from the start; an
    // old file's content stays the owner's alone until the temporary has its mode.
    QByteArray name;
    const int fd = CreateTemporary(folder, prefix, old.st_mode != 0 ? 0600 : 0666, name);
    if (fd < 0)
        return SystemFailure(errno);
    const QByteArray temporary = folder + '/' + name;
    Result<> saved = FillTemporary(fd, bytes, old);
    if (saved && ::rename(temporary.constData(), target.constData()) != 0)
        saved = SystemFailure(errno);
    ::close(fd);
    if (!saved) {
        ::unlink(temporary.constData());
        return saved;
    }
    // The new name is on disk only once the folder is.
    if (const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace vireo
