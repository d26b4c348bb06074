// SPDX-License-Identifier: GPL-3.0-or-later
// The recent-file list: how a path enters RecentFiles and how the menu's
// four recent-file entries show the list, through a small menu interface.
#pragma once

#include "program_options.h"

#include <QString>

namespace vireo {

/// The caption of the disabled item shown while the list is empty.
inline constexpr char NoRecentFileCaption[] = "Recent File";

/** The menu's recent-file entries 1 to 4, as ShowRecentFiles drives them. */
class RecentFileMenu {
  public:
    virtual ~RecentFileMenu() = default;
    /// Entry `entry` shows `caption` and reopens `path` (empty: no file).
    virtual void SetEntryFile(int entry, const QString &caption, const QString &path) = 0;
    virtual void SetEntryVisible(int entry, bool visible) = 0;
    virtual void SetEntryEnabled(int entry, bool enabled) = 0;
};

/// The part of a path after its last folder separator ("\" or "/"); the whole
/// text when it has neither.
QString FileNameOnly(const QString &path);

/// The caption of entry n: "&n " and the file's name.
QString RecentFileCaption(int n, const QString &path);

/// Moves the path to the top of the list (an exact-text match moves up, a new
/// path pushes the others down and drops entry 4). Does nothing unless
/// hasFileName; true when the list was rewritten and the menu needs showing.
bool AddRecentFile(ProgramOptions &options, const QString &path, bool hasFileName);
/// The same, then ShowRecentFiles when the list was rewritten.
void AddRecentFile(ProgramOptions &options, const QString &path, bool hasFileName, RecentFileMenu &menu);

/// Shows the list in entries 1 to 4, or one disabled "Recent File" entry when list entry 1 is empty.
void ShowRecentFiles(const ProgramOptions &options, RecentFileMenu &menu);

} // namespace vireo
