// SPDX-License-Identifier: GPL-3.0-or-later
// What the regular-file opener and the atomic writer ask of the operating
// system: defined once per system (*_posix.cpp, *_windows.cpp), chosen in CMake.
#pragma once

#include "result.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

class QFile;

namespace vireo {

// The random part of a temporary's name, after its prefix.
inline constexpr qsizetype TemporaryRandomChars = 6;

Failure NotRegular();
/// A save puts a new file in place; the other names would keep the old content.
Failure HasOtherNames();

/// ".NAME.vireo-" for the UTF-8 file name NAME, cut (never inside a
/// character) so that a temporary's whole name always fits one file name.
QByteArray TemporaryPrefix(const QByteArray &name);
/// prefix followed by TemporaryRandomChars random letters and digits.
QByteArray TemporaryName(const QByteArray &prefix);

/// Opens a file on disk into file with mode when a regular file is there (or,
/// with QIODevice::WriteOnly, nothing yet: it is then made, and an old file
/// emptied once it is known to be regular); never waits on a device.
Result<> OpenRegularOnDisk(QFile &file, const QString &path, QIODevice::OpenMode mode);

/// Why the file at target (links followed) may not be replaced by a save;
/// nothing there is fine.
Result<> CheckReplaceable(const QString &target);

/// Puts bytes at target (links followed) in one step, through a hidden
/// temporary beside it that takes the old file's attributes; on failure the
/// old file is as it was and the temporary is gone.
Result<> ReplaceAtomically(const QString &target, QByteArrayView bytes);

} // namespace vireo
