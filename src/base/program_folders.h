// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program's own files are, decided once for the window and
// vireo-cli: the program folder; the initial settings file beside the program
// or, installed, in share/vireo; and the profile, beside the program when its
// folder is writable (a portable copy, the build tree), otherwise in the
// per-user configuration folder, seeded from a file beside the program when
// there is one. The per-user folder is the system's (program_folders_<system>.cpp).
#pragma once

#include <QString>

namespace vireo {

inline constexpr char InitialFileName[] = "VIREO.sts";
inline constexpr char ProfileFileName[] = "VIREO.ini";

/// The folder that holds the running program file.
QString ProgramFolder();

/// Where an installed program keeps a shipped data file: share/vireo beside
/// its bin/ folder.
QString InstalledDataPath(const QString &programFolder, const QString &name);

/// Whether the program runs installed (its initial settings file lies in
/// share/vireo, not beside it). An installed program never writes beside
/// itself, even where it could (as root): its profile is per user.
bool IsInstalledProgram(const QString &programFolder);

/// The initial settings file VIREO.sts: in the program folder, or in
/// share/vireo beside an installed program's bin folder.
QString InitialFilePath();

/// The per-user folder, the same for the window and vireo-cli: the
/// configuration folder and "vireo" on Linux (~/.config/vireo), the roaming
/// application data and "Vireo" on Windows (%APPDATA%\Vireo).
QString UserProfileFolder();

/// Where the window keeps the unit's settings read before a write: the user's
/// data folder and "vireo/backups" on Linux (~/.local/share/vireo/backups),
/// the local application data and "Vireo\\backups" on Windows.
QString UserBackupFolder();

/// folder/<date>-<time>.st2 (or -2, -3 ... after it) that does not exist yet.
QString NewBackupPath(const QString &folder);

struct ProfileLocation {
    QString path;         ///< the profile file read and written
    QString readFallback; ///< read instead while `path` does not exist; empty for none
    bool perUser = false; ///< in the per-user folder (created on the first write)
};

/// The location rule for a program in programFolder (whether it may write
/// there the caller tells, so that the rule can be tested under any account).
ProfileLocation ChooseProfileLocation(const QString &programFolder, bool programFolderWritable,
                                      const QString &userFolder);

/// The rule applied to the running program: beside it when it may write
/// there and is not installed, otherwise per user.
ProfileLocation ProgramProfileLocation();

} // namespace vireo
