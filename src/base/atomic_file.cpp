// SPDX-License-Identifier: GPL-3.0-or-later
// Atomic saves: the content goes to a hidden temporary beside the target, which
// takes the target's name in one step once it is whole (atomic_file_<system>.cpp).
#include "atomic_file.h"
#include "file_paths.h"
#include "file_system.h"
#include "regular_file.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

namespace vireo {

namespace {

// The kernel's own limit on links followed in one path.
constexpr int MaxLinkDepth = 40;
// The longest file name the usual file systems take, in bytes of the encoded name.
constexpr qsizetype MaxNameBytes = 255;
constexpr QByteArrayView TemporaryMark(".vireo-");

// The file a chain of symbolic links ends at; path itself when it is no link.
Result<QString> FollowLinks(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; info.isSymbolicLink(); ++depth) {
        if (depth == MaxLinkDepth)
            return Failure{QStringLiteral("Too many levels of symbolic links")};
        info.setFile(info.symLinkTarget());
    }
    return info.filePath();
}

// The file at path once links are followed, refused when either name is not text.
Result<QString> SaveTarget(const QString &path)
{
    if (const Result<> text = CheckNameIsText(path); !text)
        return Failure{text.error()};
    const Result<QString> target = FollowLinks(path);
    if (!target)
        return target;
    if (const Result<> text = CheckNameIsText(*target); !text)
        return Failure{text.error()};
    return target;
}

} // namespace

Failure HasOtherNames()
{
    return Failure{QStringLiteral(
        "it has other names (hard links) that a save would separate from it; save it under another name")};
}

QByteArray TemporaryPrefix(const QByteArray &name)
{
    qsizetype keep = std::min(name.size(), MaxNameBytes - 1 - TemporaryMark.size() - TemporaryRandomChars);
    while (keep > 0 && keep < name.size() && (uchar(name[keep]) & 0xC0) == 0x80)
        --keep;
    return QByteArray(1, '.').append(name.left(keep)).append(TemporaryMark);
}

QByteArray TemporaryName(const QByteArray &prefix)
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = prefix;
    for (qsizetype i = 0; i < TemporaryRandomChars; ++i)
        name += Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))];
    return name;
}

Result<> SaveFileAtomically(const QString &path, QByteArrayView bytes)
{
    const Result<QString> target = SaveTarget(path);
    if (!target)
        return Failure{target.error()};
    return ReplaceAtomically(*target, bytes);
}

Result<> CheckSaveTarget(const QString &path, bool folderMayBeMade)
{
    const Result<QString> target = SaveTarget(path);
    if (!target)
        return Failure{target.error()};
    const QFileInfo info(*target);
    QString folder = AbsoluteFolderOf(*target);
    if (folderMayBeMade) {
        // The nearest folder that exists is where the missing ones are made.
        while (!QFileInfo::exists(folder)) {
            const QString up = AbsoluteFolderOf(folder);
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
    if (!CanCreateFilesIn(folder))
        return Failure{QStringLiteral("folder not writable: %1").arg(folder)};
    if (const Result<> replaceable = CheckReplaceable(*target); !replaceable)
        return replaceable;
    if (info.exists() && !info.isWritable())
        return Failure{QStringLiteral("file not writable")};
    return {};
}

} // namespace vireo
