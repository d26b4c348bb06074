// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the program takes a path apart and puts one together: the last
// name in a path, the folder in front of it, and a folder and a name joined.
#pragma once

#include <QString>

namespace vireo {

/// The characters at which a path is split into folders and a name.
enum class PathSeparators {
    /// "/" and "\" on every system: for a name shown or checked whatever
    /// system the path was written on (a recent file, a Windows device name).
    Any,
    /// As this system reads a path: "/" on POSIX, where "\" is part of a
    /// name; "/", "\" and the ":" after a drive letter on Windows.
    System,
};

/// The last name in path: what follows its last separator, the whole path
/// when it has none.
QString FileNameOf(const QString &path, PathSeparators separators = PathSeparators::Any);

/// The folder in front of the last name in path, as written: the separator
/// between them dropped unless it is the root itself ("/" for "/name", "C:/"
/// for "C:/name"); "." when path has no separator.
QString FolderOf(const QString &path, PathSeparators separators = PathSeparators::Any);

/// The absolute folder of path (a relative path is taken from the working
/// folder), cleaned and with "/" separators, as the file system reaches it.
QString AbsoluteFolderOf(const QString &path);

/// folder and name with one separator between them (none added after a
/// folder that already ends in one, such as a drive root).
QString JoinPath(const QString &folder, const QString &name);

} // namespace vireo
