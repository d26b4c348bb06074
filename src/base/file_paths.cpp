// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_paths.h"

#include <QFileInfo>

#include <algorithm>

namespace vireo {

namespace {

#ifdef Q_OS_WIN
constexpr bool OnWindows = true;
#else
constexpr bool OnWindows = false;
#endif

bool IsSeparator(QChar c, PathSeparators separators)
{
    return c == QLatin1Char('/') ||
           (c == QLatin1Char('\\') && (separators == PathSeparators::Any || OnWindows));
}

// "C:" of "C:/name" or "C:name".
bool IsDrive(QStringView text)
{
    return text.size() == 2 && text[0].isLetter() && text[1] == QLatin1Char(':');
}

// Where the last name in path begins: just after its last separator, 0 when none.
qsizetype NameStart(const QString &path, PathSeparators separators)
{
    qsizetype at = path.size();
    while (at > 0 && !IsSeparator(path[at - 1], separators))
        --at;
    // On Windows "C:name" is name in the working folder of drive C.
    if (OnWindows && at == 0 && separators == PathSeparators::System && IsDrive(QStringView(path).left(2)))
        at = 2;
    return at;
}

} // namespace

QString FileNameOf(const QString &path, PathSeparators separators)
{
    return path.mid(NameStart(path, separators));
}

QString FolderOf(const QString &path, PathSeparators separators)
{
    const qsizetype start = NameStart(path, separators);
    if (start == 0)
        return QStringLiteral(".");
    QString folder = path.left(start - 1);
    // The root keeps its separator: without it no folder, or another, is left.
    if (folder.isEmpty() || (OnWindows && IsDrive(folder)) || !IsSeparator(path[start - 1], separators))
        folder = path.left(start);
    return folder;
}

QString AbsoluteFolderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

QString JoinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

} // namespace vireo
