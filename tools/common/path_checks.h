// SPDX-License-Identifier: GPL-3.0-or-later
// Checks on the paths the tools are given, made before any work that a wrong
// path would spoil: one file named twice, a port that is no device.
#pragma once

#include <QString>

namespace vireo::tool {

/// Where a name leads once every link is followed, also when the file does
/// not exist yet: the real location of its folder and its own name.
QString RealLocation(const QString &path);

/// The same file under both names, also through a symbolic or hard link or a
/// linked folder, and also when it does not exist yet.
bool SameFile(const QString &a, const QString &b);

/// True when something exists at path that cannot be a serial device (a
/// regular file, a folder, a FIFO); false for a device or nothing. On
/// Windows a bare name (COM3, COM10) is in the system's device namespace.
bool IsNoDevice(const QString &path);

} // namespace vireo::tool
