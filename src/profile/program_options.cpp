// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_options.h"

#include "base/latin1_text.h"

#include <algorithm>
#include <cmath>

namespace vireo {

QString RecentFileKey(int n)
{
    return QStringLiteral("FileName(%1)").arg(n);
}

void LoadOptions(ProfileFile &profile, ProgramOptions &options)
{
    options.ComPortNumber = 1;
    options.ComSpeed = 9600;
    options.ToolbarShown = true;
    options.WindowTop = 0;
    options.WindowLeft = 0;
    options.CheckWrite = true;
    options.BackupWrite = false;

    profile.SetSection(Latin1Text(OptionSection));
    profile.LoadData(Latin1Text(PortKey), options.ComPortNumber);
    profile.LoadData(Latin1Text(SpeedKey), options.ComSpeed);
    profile.LoadData(Latin1Text(ToolBarKey), options.ToolbarShown);

    profile.SetSection(Latin1Text(StatusSection));
    profile.LoadData(Latin1Text(WindowTopKey), options.WindowTop);
    profile.LoadData(Latin1Text(WindowLeftKey), options.WindowLeft);

    profile.SetSection(Latin1Text(CloneSection));
    profile.LoadData(Latin1Text(CheckWriteKey), options.CheckWrite);
    profile.LoadData(Latin1Text(BackupWriteKey), options.BackupWrite);

    profile.SetSection(Latin1Text(RecentFilesSection));
    for (int n = 1; n <= RecentFileCount; ++n) {
        options.RecentFiles[n - 1].clear();
        profile.LoadData(RecentFileKey(n), options.RecentFiles[n - 1]);
    }

    if (options.ComPortNumber < 1 || options.ComPortNumber > 4)
        options.ComPortNumber = 1;
    if (std::find(ValidComSpeeds.begin(), ValidComSpeeds.end(), options.ComSpeed) == ValidComSpeeds.end())
        options.ComSpeed = 9600;
}

Result<> SaveOptions(ProfileFile &profile, const ProgramOptions &options)
{
    // One batch, one file replacement: a crash or a full disk part-way leaves
    // the old profile whole instead of a file with some of the nine keys.
    if (Result<> begun = profile.BeginBatch(); !begun) {
        profile.DiscardBatch();
        return begun;
    }
    // A key that cannot be written (a recent path holding a line break) is
    // left out; the others are still saved.
    const auto save = [&profile](const QString &key, const ProfileValue &value) {
        (void)profile.SaveData(key, value);
    };
    profile.SetSection(Latin1Text(OptionSection));
    save(Latin1Text(PortKey), options.ComPortNumber);
    save(Latin1Text(SpeedKey), options.ComSpeed);
    save(Latin1Text(ToolBarKey), options.ToolbarShown);

    profile.SetSection(Latin1Text(StatusSection));
    save(Latin1Text(WindowTopKey), options.WindowTop);
    save(Latin1Text(WindowLeftKey), options.WindowLeft);

    profile.SetSection(Latin1Text(CloneSection));
    save(Latin1Text(CheckWriteKey), options.CheckWrite);
    save(Latin1Text(BackupWriteKey), options.BackupWrite);

    profile.SetSection(Latin1Text(RecentFilesSection));
    for (int n = 1; n <= RecentFileCount; ++n)
        save(RecentFileKey(n), options.RecentFiles[n - 1]);
    return profile.CommitBatch();
}

bool TrackWindowPosition(ProgramOptions &options, double left, double top, bool minimised)
{
    if (minimised)
        return false;
    // Rounded as the integer conversion does: halves to even, kept within 32 bits.
    const auto round = [](double v) {
        return static_cast<qint32>(std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0));
    };
    const qint32 newLeft = round(left);
    const qint32 newTop = round(top);
    if (newLeft == options.WindowLeft && newTop == options.WindowTop)
        return false;
    options.WindowLeft = newLeft;
    options.WindowTop = newTop;
    return true;
}

} // namespace vireo
