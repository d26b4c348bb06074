// SPDX-License-Identifier: GPL-3.0-or-later
#include "recent_files.h"

#include "base/file_paths.h"

namespace vireo {

QString FileNameOnly(const QString &path)
{
    // Both separators count: the program runs where paths use "/" as well as "\".
    return FileNameOf(path, PathSeparators::Any);
}

QString RecentFileCaption(int n, const QString &path)
{
    return QStringLiteral("&%1 ").arg(n) + FileNameOnly(path);
}

bool AddRecentFile(ProgramOptions &options, const QString &path, bool hasFileName)
{
    if (!hasFileName)
        return false;
    auto &list = options.RecentFiles;
    int pos = RecentFileCount; // 1-based; the last exact match wins
    for (int i = 1; i <= RecentFileCount; ++i)
        if (list[i - 1] == path)
            pos = i;
    for (int j = RecentFileCount; j >= 2; --j)
        if (j <= pos)
            list[j - 1] = list[j - 2];
    list[0] = path;
    return true;
}

void AddRecentFile(ProgramOptions &options, const QString &path, bool hasFileName, RecentFileMenu &menu)
{
    if (AddRecentFile(options, path, hasFileName))
        ShowRecentFiles(options, menu);
}

void ShowRecentFiles(const ProgramOptions &options, RecentFileMenu &menu)
{
    for (int n = 1; n <= RecentFileCount; ++n)
        menu.SetEntryVisible(n, false);
    if (options.RecentFiles[0].isEmpty()) {
        menu.SetEntryVisible(1, true);
        menu.SetEntryEnabled(1, false);
        menu.SetEntryFile(1, QString::fromLatin1(NoRecentFileCaption), QString());
        return;
    }
    for (int n = 1; n <= RecentFileCount; ++n) {
        const QString &path = options.RecentFiles[n - 1];
        if (!path.isEmpty()) {
            menu.SetEntryVisible(n, true);
            menu.SetEntryFile(n, RecentFileCaption(n, path), path);
        }
        menu.SetEntryEnabled(n, !path.isEmpty());
    }
}

} // namespace vireo
