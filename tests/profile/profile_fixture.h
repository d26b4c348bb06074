// SPDX-License-Identifier: GPL-3.0-or-later
// The profile tests' common ground: a profile object on a fresh VIREO.ini in a temporary
// folder, filled with the given text unless that is null; File menu items 5 to 8.
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
        QString caption = S("?");
        bool visible = true, enabled = false;
    };
    std::map<int, Item> items{{5, {}}, {6, {}}, {7, {}}, {8, {}}};
    void SetItemCaption(int item, const QString &caption) override { items.at(item).caption = caption; }
    void SetItemVisible(int item, bool visible) override { items.at(item).visible = visible; }
    void SetItemEnabled(int item, bool enabled) override { items.at(item).enabled = enabled; }
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
