// SPDX-License-Identifier: GPL-3.0-or-later
// Atomic saves over QSaveFile, with the checks QSaveFile itself leaves out:
// it would replace a device node or a FIFO, and need not keep the file's mode.
#include "atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace vireo {

namespace {

// The kernel's own limit on links followed in one path.
constexpr int MaxLinkDepth = 40;

Failure NotRegular()
{
    return Failure{QStringLiteral("not a regular file")};
}

// The file a chain of symbolic links ends at; path itself when it is no link.
Result<QString> FollowLinks(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == MaxLinkDepth)
            return Failure{QString::fromLocal8Bit(std::strerror(ELOOP))};
        info.setFile(info.symLinkTarget());
    }
    return info.filePath();
}

} // namespace

Result<> SaveFileAtomically(const QString &path, QByteArrayView bytes)
{
    const Result<QString> target = FollowLinks(path);
    if (!target)
        return Failure{target.error()};
    struct stat old {};
    const bool exists = ::stat(QFile::encodeName(*target).constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return NotRegular();

    QSaveFile file(*target);
    // Unbuffered, so that a refused write (disk full, size limit) fails here with
    // the system's reason, before commit() could put a truncated file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failure{file.errorString()};
    if (exists && ::fchmod(file.handle(), old.st_mode & 07777) != 0) {
        const int error = errno;
        file.cancelWriting();
        return Failure{QString::fromLocal8Bit(std::strerror(error))};
    }
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Failure{reason};
    }
    if (!file.commit())
        return Failure{file.errorString()};
    return {};
}

Result<> CheckSaveTarget(const QString &path, bool folderMayBeMade)
{
    const Result<QString> target = FollowLinks(path);
    if (!target)
        return Failure{target.error()};
    const QFileInfo info(*target);
    QString folder = info.absolutePath();
    if (folderMayBeMade) {
        // The nearest folder that exists is where the missing ones are made.
        while (!QFileInfo::exists(folder)) {
            const QString up = QFileInfo(folder).absolutePath();
            if (up == folder)
                break;
            folder = up;
        }
    }
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir())
        return Failure{
            (folderInfo.exists() ? QStringLiteral("not a folder: %1") : QStringLiteral("no such folder: %1"))
                .arg(folder)};
    if (!folderInfo.isWritable())
        return Failure{QStringLiteral("folder not writable: %1").arg(folder)};
    if (info.exists() && !info.isFile())
        return NotRegular();
    if (info.exists() && !info.isWritable())
        return Failure{QStringLiteral("file not writable")};
    return {};
}

} // namespace vireo
