// SPDX-License-Identifier: GPL-3.0-or-later
// The recent-file list: how a path enters RecentFiles and how the
// four File menu items 5 to 8 show the list, through a small menu interface.
#pragma once

#include "program_options.h"

#include <QString>

namespace vireo {

/// The first recent-file item of the File menu (MenuFileSet index); item 4 + n shows RecentFiles(n).
inline constexpr int FirstRecentFileItem = 5;
/// The caption of the disabled item shown while the list is empty.
inline constexpr char NoRecentFileCaption[] = "Recent File";

/** The File menu's recent-file items 5 to 8, as ShowRecentFiles drives them. */
class RecentFileMenu {
  public:
    virtual ~RecentFileMenu() = default;
    virtual void SetItemCaption(int item, const QString &caption) = 0;
    virtual void SetItemVisible(int item, bool visible) = 0;
    virtual void SetItemEnabled(int item, bool enabled) = 0;
};

/// The part of a path after its last folder separator ("\" or "/"); the whole
/// text when it has neither.
QString FileNameOnly(const QString &path);

/// The caption of item 4 + n: "&n " and the file's name.
QString RecentFileCaption(int n, const QString &path);

/// Moves the path to the top of the list (an exact-text match moves up, a new
/// path pushes the others down and drops entry 4). Does nothing unless
/// hasFileName; true when the list was rewritten and the menu needs showing.
bool AddRecentFile(ProgramOptions &options, const QString &path, bool hasFileName);
/// The same, then ShowRecentFiles when the list was rewritten.
void AddRecentFile(ProgramOptions &options, const QString &path, bool hasFileName, RecentFileMenu &menu);

/// Shows the list in items 5 to 8, or one disabled "Recent File" item when entry 1 is empty.
void ShowRecentFiles(const ProgramOptions &options, RecentFileMenu &menu);

} // namespace vireo
