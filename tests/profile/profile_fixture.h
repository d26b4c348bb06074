// SPDX-License-Identifier: GPL-3.0-or-later
// Profile tests' ground: a profile on a fresh VIREO.ini in a folder; a recent-file menu.
#pragma once

#include "profile/profile_file.h"
#include "profile/recent_files.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace vireo::test {

inline QString S(const char *text)
{
    return QString::fromUtf8(text);
}

inline ProfileFile ProfileIn(const QTemporaryDir &dir, const char *section, const QByteArray &content = {})
{
    ProfileFile profile;
    profile.SetCurrentPath(dir.path());
    profile.SetName(S("VIREO.ini"));
    profile.SetSection(S(section));
    QFile::remove(profile.FilePath());
    if (!content.isNull() && !WriteFile(profile.FilePath(), content))
        qFatal("cannot write the test profile");
    return profile;
}

struct FakeMenu : RecentFileMenu {
    struct Item {
        QString caption = S("?"), path;
        bool visible = true, enabled = false;
    };
    std::map<int, Item> items{{1, {}}, {2, {}}, {3, {}}, {4, {}}};
    void SetEntryFile(int entry, const QString &caption, const QString &path) override
    {
        items.at(entry).caption = caption;
        items.at(entry).path = path;
    }
    void SetEntryVisible(int entry, bool visible) override { items.at(entry).visible = visible; }
    void SetEntryEnabled(int entry, bool enabled) override { items.at(entry).enabled = enabled; }
    // The visible items in menu order, "caption" or "caption off", joined by "|".
    QString Shown() const
    {
        QStringList shown;
        for (const auto &[index, item] : items)
            if (item.visible)
                shown << item.caption + (item.enabled ? QString() : S(" off"));
        return shown.join(u'|');
    }
};

} // namespace vireo::test
