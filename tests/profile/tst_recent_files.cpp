// SPDX-License-Identifier: GPL-3.0-or-later
// The recent-file list: how paths move through RecentFiles and what
// File menu items 5 to 8 show, against a fake menu.
#include "profile/recent_files.h"
#include "profile_fixture.h"

#include <QTest>

#include <map>

using namespace vireo;
using namespace vireo::test;

namespace {

// Records the items as "caption" or "caption (disabled)"; hidden items are left out of Shown().
struct FakeMenu : RecentFileMenu {
    struct Item {
        QString caption; // empty in the menu's design
        bool visible = true, enabled = true;
    };
    std::map<int, Item> items{{5, {}}, {6, {}}, {7, {}}, {8, {}}};
    void SetItemCaption(int item, const QString &caption) override { items.at(item).caption = caption; }
    void SetItemVisible(int item, bool visible) override { items.at(item).visible = visible; }
    void SetItemEnabled(int item, bool enabled) override { items.at(item).enabled = enabled; }
    QStringList Shown() const
    {
        QStringList shown;
        for (const auto &[index, item] : items)
            if (item.visible)
                shown << item.caption + (item.enabled ? QString() : S(" (disabled)"));
        return shown;
    }
};

ProgramOptions List(const QStringList &files)
{
    ProgramOptions options;
    for (int i = 0; i < RecentFileCount; ++i)
        options.RecentFiles[i] = files.value(i);
    return options;
}

} // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT

  private slots:
    void addRecentFile_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("hasFileName");
        QTest::addColumn<QStringList>("after");
        const QStringList four{S("/d/a.st2"), S("/d/b.st2"), S("/d/c.st2"), S("/d/e.st2")};
        QTest::newRow("first Save As of a new document")
            << QStringList{} << S("/d/new.st2") << true << QStringList{S("/d/new.st2"), {}, {}, {}};
        QTest::newRow("entry 3 reopened moves to the top")
            << four << S("/d/c.st2") << true
            << QStringList{S("/d/c.st2"), S("/d/a.st2"), S("/d/b.st2"), S("/d/e.st2")};
        QTest::newRow("fifth distinct file drops entry 4")
            << four << S("/d/f.st2") << true
            << QStringList{S("/d/f.st2"), S("/d/a.st2"), S("/d/b.st2"), S("/d/c.st2")};
        QTest::newRow("save of entry 1 leaves the list") << four << S("/d/a.st2") << true << four;
        QTest::newRow("untitled document leaves the list") << four << S("Untitled") << false << four;
        QTest::newRow("letter case makes a second entry")
            << QStringList{S("/d/A.st2")} << S("/d/a.st2") << true
            << QStringList{S("/d/a.st2"), S("/d/A.st2"), {}, {}};
    }
    void addRecentFile()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, path);
        QFETCH(bool, hasFileName);
        QFETCH(QStringList, after);
        ProgramOptions options = List(before);
        FakeMenu menu;
        menu.items.at(5) = {S("untouched"), true, false};
        AddRecentFile(options, path, hasFileName, menu);
        QCOMPARE(options.RecentFiles, List(after).RecentFiles);
        // The menu is rebuilt, its first item enabled, exactly when the list was rewritten.
        QCOMPARE(menu.Shown().value(0),
                 hasFileName ? S("&1 ") + path.section(u'/', -1) : S("untouched (disabled)"));
    }

    void showRecentFiles_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty list: one disabled item")
            << QStringList{} << QStringList{S("Recent File (disabled)")};
        QTest::newRow("entry 1 empty hides the rest")
            << QStringList{{}, S("/d/b.st2")} << QStringList{S("Recent File (disabled)")};
        QTest::newRow("gap at entry 2 keeps the access keys")
            << QStringList{S("C:\\dir\\a.st2"), {}, S("/d/c.st2")}
            << QStringList{S("&1 a.st2"), S("&3 c.st2")};
        QTest::newRow("four files, same names in other folders, a colon kept")
            << QStringList{S("/a/x.st2"), S("/b/x.st2"), S("/c/y.st2"), S("C:z.st2")}
            << QStringList{S("&1 x.st2"), S("&2 x.st2"), S("&3 y.st2"), S("&4 C:z.st2")};
    }
    void showRecentFiles()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, shown);
        FakeMenu menu;
        ShowRecentFiles(List(files), menu);
        QCOMPARE(menu.Shown(), shown);
    }
};

QTEST_GUILESS_MAIN(TestRecentFiles)
#include "tst_recent_files.moc"
