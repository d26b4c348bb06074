// SPDX-License-Identifier: GPL-3.0-or-later
// Where the profile lives: beside the program when its folder is writable (a
// portable copy, the build tree), otherwise in the per-user configuration
// folder, seeded from a file beside the program when there is one.
#pragma once

#include "profile_file.h"

#include <optional>

namespace vireo {

inline constexpr char ProfileFileName[] = "VIREO.ini";
/// The Section start-up gives the profile object before LoadOptions replaces it.
inline constexpr char StartupSection[] = "VIREO";

struct ProfileLocation {
    QString path;         ///< the profile file read and written
    QString readFallback; ///< read instead while `path` does not exist; empty for none
    bool perUser = false; ///< in the per-user folder (created on the first write)
};

/// Where an installed program keeps a shipped data file: share/vireo beside
/// its bin/ folder.
QString InstalledDataPath(const QString &programFolder, const QString &name);

/// Whether the program runs installed (its initial settings file lies in
/// share/vireo, not beside it). An installed program never writes beside
/// itself, even where it could (as root): its profile is per user.
bool IsInstalledProgram(const QString &programFolder);

/// The per-user folder, the same for the window and vireo-cli: the
/// configuration folder and "vireo" on Linux (~/.config/vireo), the roaming
/// application data and "Vireo" on Windows (%APPDATA%\Vireo).
QString UserProfileFolder();

/// The location rule for a program in programFolder (whether it may write
/// there the caller tells, so that the rule can be tested under any account).
ProfileLocation ChooseProfileLocation(const QString &programFolder, bool programFolderWritable,
                                      const QString &userFolder);

/// The profile object as start-up sets it up (Path, Name, Section "VIREO"):
/// at profileFile when given (relative to the working folder), otherwise at
/// the location the rule chooses for the running program.
ProfileFile OpenProfile(const std::optional<QString> &profileFile = std::nullopt);

} // namespace vireo
