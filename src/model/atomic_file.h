// SPDX-License-Identifier: GPL-3.0-or-later
// The one way this program puts a file on disk: whole or not at all, never
// over something that is not a regular file, keeping the old file's mode.
#pragma once

#include "result.h"

#include <QByteArrayView>
#include <QString>

namespace vireo {

/// Writes bytes to path so that the old file stays until the new one is
/// complete. A symbolic link is followed to the file it names (created when
/// missing) and stays a link; an existing file keeps its permission bits; a
/// target that exists and is not a regular file is refused and left as it
/// was. On failure the reason is the system's own (or "not a regular file").
Result<> SaveFileAtomically(const QString &path, QByteArrayView bytes);

/// Whether a file could be saved at path, checked before work that would
/// otherwise be lost (a clone read). With folderMayBeMade a missing folder is
/// fine when it can be created.
Result<> CheckSaveTarget(const QString &path, bool folderMayBeMade = false);

} // namespace vireo
