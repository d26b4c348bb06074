// SPDX-License-Identifier: GPL-3.0-or-later
// Program options: the variables that persist between runs, their
// profile sections and keys, LoadOptions with its corrections, SaveOptions, and
// the tracking rule the main window applies to the two window keys.
#pragma once

#include "profile_file.h"

#include <array>

namespace vireo {

inline constexpr char OptionSection[] = "OPTION";
inline constexpr char StatusSection[] = "STATUS";
inline constexpr char RecentFilesSection[] = "RecentFiles";
inline constexpr char PortKey[] = "Port";
inline constexpr char SpeedKey[] = "Speed";
inline constexpr char ToolBarKey[] = "ToolBar";
inline constexpr char WindowTopKey[] = "WindowPosition(Top)";
inline constexpr char WindowLeftKey[] = "WindowPosition(Left)";
// Safe writes from the window; older copies of the program ignore the section.
inline constexpr char CloneSection[] = "CLONE";
inline constexpr char CheckWriteKey[] = "CheckWrite";
inline constexpr char BackupWriteKey[] = "BackupWrite";
inline constexpr int RecentFileCount = 4;

/// The speeds LoadOptions accepts; any other becomes 9600.
inline constexpr std::array<qint16, 6> ValidComSpeeds{1200, 2400, 9600, 14400, 19200, 28800};

/** The program options: one instance, owned by start-up, passed by reference. */
struct ProgramOptions {
    qint16 ComPortNumber = 1; ///< 1 to 4, COM1 to COM4
    qint16 ComSpeed = 9600;   ///< bits per second
    bool ToolbarShown = true;
    qint32 WindowTop = 0; ///< in the window's own units (twips)
    qint32 WindowLeft = 0;
    /// RecentFiles(1) to RecentFiles(4) at indices 0 to 3; entry 1 is the most recent.
    std::array<QString, RecentFileCount> RecentFiles;
    bool CheckWrite = true;   ///< read the unit back after a write and compare
    bool BackupWrite = false; ///< read the unit into a backup file before a write
};

/// "FileName(n)" for n = 1 to 4.
QString RecentFileKey(int n);

/// Reads every option from the profile, then corrects the port and the speed.
/// Leaves the profile's Section at "RecentFiles", as loading always has.
void LoadOptions(ProfileFile &profile, ProgramOptions &options);

/// Writes every key; they reach the disk as one atomic replacement of the
/// file, with the content that many single writes would give; the reason when the
/// file could not be written (the window stays silent, the CLI may tell).
Result<> SaveOptions(ProfileFile &profile, const ProgramOptions &options);

/// The tracking rule of the 50 ms tick: unless minimised, a window whose left
/// or top differs from the options gives both, rounded; true when they changed.
bool TrackWindowPosition(ProgramOptions &options, double left, double top, bool minimised);

} // namespace vireo
