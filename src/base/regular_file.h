// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a file that is read from outside (a settings file, the profile):
// only a regular file is read, decided on what was actually opened, so a FIFO
// or device put at the path after a check is never waited on.
#pragma once

#include "result.h"

#include <QFile>

namespace vireo {

/// Opens path read-only into file when it is a regular file; "not a regular
/// file" or the system's reason otherwise. Never blocks on a FIFO or device.
Result<> OpenRegularFile(QFile &file, const QString &path);

/// Refuses a path holding U+FFFD: the system gave a name that is not UTF-8,
/// and the decoded name would reach another file or none at all.
Result<> CheckNameIsText(const QString &path);

/// Whether the last name in path is one of Windows' reserved devices (CON,
/// PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any case, with any
/// extension): on Windows such a name reaches the device in every folder.
bool IsWindowsDeviceName(const QString &path);

/// Opens path write-only into file, created or emptied, when nothing or a
/// regular file is there; "not a regular file" or the system's reason
/// otherwise. For files written as they grow (a trace), where a whole-file
/// save does not fit. Never blocks on a FIFO or device.
Result<> OpenRegularFileForWriting(QFile &file, const QString &path);

} // namespace vireo
