// SPDX-License-Identifier: GPL-3.0-or-later
// Program options: LoadOptions with its defaults and corrections, SaveOptions
// as one atomic replacement, the window-position tracking, and the recent-file
// list with File menu items 5 to 8 (against a fake menu).
#include "profile/program_options.h"
#include "profile_fixture.h"

#include <QDir>

using namespace vireo;
using namespace vireo::test;

namespace {

QStringList Fields(const ProgramOptions &o)
{
    return QStringList{QString::number(o.ComPortNumber), QString::number(o.ComSpeed),
                       QString::number(o.ToolbarShown), QString::number(o.WindowTop),
                       QString::number(o.WindowLeft)} +
           QStringList(o.RecentFiles.begin(), o.RecentFiles.end()) +
           QStringList{QString::number(o.CheckWrite), QString::number(o.BackupWrite)};
}

// The list from its entries separated by blanks, "-" for an empty entry.
ProgramOptions List(const QString &entries)
{
    ProgramOptions options;
    const QStringList paths = entries.split(u' ', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < paths.size(); ++i)
        options.RecentFiles[i] = paths[i] == S("-") ? QString() : paths[i];
    return options;
}

} // namespace

class TestProgramOptions : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    // First start: the defaults and no file; at exit every key in four
    // sections, in order; what is saved loads back (a profile without [CLONE]
    // gives the check on and no backup).
    void firstStartThenSaveAndLoad()
    {
        ProfileFile profile = ProfileIn(m_dir, "VIREO");
        ProgramOptions options;
        options.ComPortNumber = 3; // LoadOptions sets its own defaults first
        options.RecentFiles[2] = S("stale");
        LoadOptions(profile, options);
        QCOMPARE(Fields(options),
                 QStringList({S("1"), S("9600"), S("1"), S("0"), S("0"), {}, {}, {}, {}, S("1"), S("0")}));
        QVERIFY(!QFile::exists(profile.FilePath()));
        QVERIFY(SaveOptions(profile, options));
        QCOMPARE(
            ReadFile(profile.FilePath()),
            QByteArray("[OPTION]\r\nPort=1\r\nSpeed=9600\r\nToolBar=1\r\n"
                       "[STATUS]\r\nWindowPosition(Top)=0\r\nWindowPosition(Left)=0\r\n"
                       "[CLONE]\r\nCheckWrite=1\r\nBackupWrite=0\r\n"
                       "[RecentFiles]\r\nFileName(1)=\r\nFileName(2)=\r\nFileName(3)=\r\nFileName(4)=\r\n"));
        options = {3,     28800, false, -45, 1200, {S("/u/b.st2"), S("C:\\x\\a.st2"), QString(), S("/c.st2")},
                   false, true};
        QVERIFY(SaveOptions(profile, options));
        ProgramOptions loaded;
        LoadOptions(profile, loaded);
        QCOMPARE(Fields(loaded), Fields(options));
    }

    // A port outside 1 to 4 or a speed not offered falls back to 1 or 9600; the other value stays.
    void corrections()
    {
        const auto loaded = [this](const QByteArray &stored) {
            ProfileFile profile = ProfileIn(m_dir, "VIREO", "[OPTION]\n" + stored + "\n");
            ProgramOptions options;
            LoadOptions(profile, options);
            return QPoint(options.ComPortNumber, options.ComSpeed);
        };
        QCOMPARE(loaded("Port=0\nSpeed=2400"), QPoint(1, 2400));
        QCOMPARE(loaded("Port=5"), QPoint(1, 9600));
        QCOMPARE(loaded("Port=4\nSpeed=4800"), QPoint(4, 9600));
        QCOMPARE(loaded("Speed=28800"), QPoint(1, 28800));
    }

    // The disk fills part-way through the save: nine single writes would leave
    // the first keys changed; the one replacement leaves the old profile whole.
    void saveIsOneAtomicReplacement()
    {
        const QByteArray content("; mine\r\n[OPTION]\r\nPort=2\r\n");
        ProfileFile profile = ProfileIn(m_dir, "VIREO", content);
        const ProgramOptions options{.ComPortNumber = 4,
                                     .RecentFiles = {S("/a/b"), S("/a/c"), S("/a/d"), S("/a/e")}};
        {
            FileSizeLimit limit(100); // more than the old file, less than the new one
            QVERIFY(limit.Active());
            const Result<> saved = SaveOptions(profile, options);
            QVERIFY(!saved && !saved.error().isEmpty());
        }
        QCOMPARE(ReadFile(profile.FilePath()), content);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{S("VIREO.ini")});
        QVERIFY(SaveOptions(profile, options));
        QVERIFY(ReadFile(profile.FilePath()).contains("FileName(4)=/a/e\r\n"));
    }

    // From (10, 20): a move is recorded, rounded halves to even; a minimised window or the same place is not.
    void tracking()
    {
        const auto track = [](double left, double top, bool minimised) {
            ProgramOptions options{.WindowTop = 20, .WindowLeft = 10, .RecentFiles = {}};
            const bool changed = TrackWindowPosition(options, left, top, minimised);
            return std::pair(changed, QPoint(options.WindowLeft, options.WindowTop));
        };
        QCOMPARE(track(300, 150, false), std::pair(true, QPoint(300, 150)));
        QCOMPARE(track(-32000, -32000, true), std::pair(false, QPoint(10, 20)));
        QCOMPARE(track(10, 20, false), std::pair(false, QPoint(10, 20)));
        QCOMPARE(track(10.5, 21.5, false), std::pair(true, QPoint(10, 22)));
    }

    // The list before, the path saved or opened (null: the menu is only
    // shown; without a folder: an untitled document), the list after (null:
    // as before) and the menu shown, from four disabled items "?".
    void recentFiles_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("shown");
        const QString four = S("/d/a /d/b /d/c /d/e"), none;
        QTest::newRow("entry 3 reopened moves to the top")
            << four << S("/d/c") << S("/d/c /d/a /d/b /d/e") << S("&1 c|&2 a|&3 b|&4 e");
        QTest::newRow("fifth distinct file drops entry 4")
            << four << S("/d/f") << S("/d/f /d/a /d/b /d/c") << S("&1 f|&2 a|&3 b|&4 c");
        QTest::newRow("save of entry 1 keeps the list")
            << four << S("/d/a") << none << S("&1 a|&2 b|&3 c|&4 e");
        QTest::newRow("letter case makes a second entry")
            << S("/d/A") << S("/d/a") << S("/d/a /d/A") << S("&1 a|&2 A");
        QTest::newRow("empty list: one disabled item") << none << none << none << S("Recent File off");
        QTest::newRow("entry 1 empty hides the rest") << S("- /d/b") << none << none << S("Recent File off");
        QTest::newRow("gap at entry 2 keeps the access keys")
            << S("C:\\d\\a - /d/c") << none << none << S("&1 a|&3 c");
        QTest::newRow("same names in other folders, a colon kept")
            << S("/a/x /b/x C:z") << none << none << S("&1 x|&2 x|&3 C:z");
    }
    void recentFiles()
    {
        QFETCH(QString, before);
        QFETCH(QString, path);
        QFETCH(QString, after);
        QFETCH(QString, shown);
        ProgramOptions options = List(before);
        FakeMenu menu;
        if (path.isNull())
            ShowRecentFiles(options, menu);
        else
            AddRecentFile(options, path, path.contains(u'/'), menu);
        QCOMPARE(options.RecentFiles, List(after.isNull() ? before : after).RecentFiles);
        QCOMPARE(menu.Shown(), shown);
    }
};

QTEST_GUILESS_MAIN(TestProgramOptions)
#include "tst_program_options.moc"
