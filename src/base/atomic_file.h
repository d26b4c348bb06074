// SPDX-License-Identifier: GPL-3.0-or-later
// The one way this program puts a file on disk: whole or not at all, never
// over something that is not a regular file, keeping the old file's mode and owner.
#pragma once

#include "result.h"

#include <QByteArrayView>
#include <QString>

namespace vireo {

/// Writes bytes to path so that the old file stays until the new one is
/// complete. A symbolic link is followed to the file it names (created when
/// missing) and stays a link; an existing file keeps its permission bits,
/// owner and group (on Windows its attributes). Refused, the old file left as
/// it was: a target that is not a regular file (on Windows also a reserved
/// device name such as NUL or COM1), one with other names (hard links), one
/// whose owner or group the new file could not keep, a read-only file on
/// Windows, and a name that is not UTF-8 text.
/// The new content is written to a hidden ".NAME.vireo-XXXXXX" beside the
/// target; such files that an earlier, killed save left are removed.
/// On failure the reason is the system's own or one of the above.
Result<> SaveFileAtomically(const QString &path, QByteArrayView bytes);

/// Whether new files can be made in folder (on Windows found out by making
/// one, since a folder's attributes do not say).
bool CanCreateFilesIn(const QString &folder);

/// Whether a file could be saved at path, checked before work that would
/// otherwise be lost (a clone read). With folderMayBeMade a missing folder is
/// fine when it can be created.
Result<> CheckSaveTarget(const QString &path, bool folderMayBeMade = false);

} // namespace vireo
