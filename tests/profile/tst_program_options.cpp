// SPDX-License-Identifier: GPL-3.0-or-later
// Program options: LoadOptions with its defaults and corrections,
// SaveOptions as one atomic replacement, and the window-placement rules.
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
           QStringList(o.RecentFiles.begin(), o.RecentFiles.end());
}

} // namespace

class TestProgramOptions : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    void firstStartWithoutProfile()
    {
        ProfileFile profile = ProfileIn(m_dir, "VIREO");
        ProgramOptions options;
        options.ComPortNumber = 3; // LoadOptions sets its own defaults first
        options.RecentFiles[2] = S("stale");
        LoadOptions(profile, options);
        QCOMPARE(Fields(options), Fields(ProgramOptions{}));
        QVERIFY(!QFile::exists(profile.GetMyProfile()));
        // At exit the file is created: three sections in order, all nine keys.
        QVERIFY(SaveOptions(profile, options));
        QCOMPARE(
            ReadFile(profile.GetMyProfile()),
            QByteArray("[OPTION]\r\nPort=1\r\nSpeed=9600\r\nToolBar=1\r\n"
                       "[STATUS]\r\nWindowPosition(Top)=0\r\nWindowPosition(Left)=0\r\n"
                       "[RecentFiles]\r\nFileName(1)=\r\nFileName(2)=\r\nFileName(3)=\r\nFileName(4)=\r\n"));
    }

    void corrections_data()
    {
        QTest::addColumn<QByteArray>("port");
        QTest::addColumn<QByteArray>("speed");
        QTest::addColumn<int>("expectedPort");
        QTest::addColumn<int>("expectedSpeed");
        QTest::newRow("port 0 becomes 1") << QByteArray("0") << QByteArray("9600") << 1 << 9600;
        QTest::newRow("port text becomes 1") << QByteArray("COM2") << QByteArray("9600") << 1 << 9600;
        QTest::newRow("port 4 kept, speed 4800 becomes 9600")
            << QByteArray("4") << QByteArray("4800") << 4 << 9600;
        QTest::newRow("speed 28800 kept") << QByteArray("2") << QByteArray("28800") << 2 << 28800;
    }
    void corrections()
    {
        QFETCH(QByteArray, port);
        QFETCH(QByteArray, speed);
        QFETCH(int, expectedPort);
        QFETCH(int, expectedSpeed);
        ProfileFile profile =
            ProfileIn(m_dir, "VIREO", "[OPTION]\r\nPort=" + port + "\r\nSpeed=" + speed + "\r\n");
        ProgramOptions options;
        LoadOptions(profile, options);
        QCOMPARE(QPair(int(options.ComPortNumber), int(options.ComSpeed)),
                 QPair(expectedPort, expectedSpeed));
    }

    void savedOptionsLoadBackAndForeignLinesStay()
    {
        const QByteArray foreign("; edited by hand\r\n\r\n[PORTS]\r\nCOM2=/dev/ttyUSB0\r\n");
        ProfileFile profile = ProfileIn(m_dir, "VIREO", foreign);
        ProgramOptions options;
        options.ComPortNumber = 3;
        options.ComSpeed = 28800;
        options.ToolbarShown = false;
        options.WindowTop = -45;
        options.WindowLeft = 1200;
        options.RecentFiles = {S("/home/u/b.st2"), S("C:\\x\\a.st2"), QString(), S("/c.st2")};
        QVERIFY(SaveOptions(profile, options));
        QVERIFY(ReadFile(profile.GetMyProfile()).startsWith(foreign));
        ProgramOptions loaded;
        LoadOptions(profile, loaded);
        QCOMPARE(Fields(loaded), Fields(options));
    }

    // The disk fills part-way through the save: nine single writes would leave
    // the first keys changed; the one replacement leaves the old profile whole.
    void saveIsOneAtomicReplacement()
    {
        const QByteArray content("; mine\r\n[OPTION]\r\nPort=2\r\n");
        ProfileFile profile = ProfileIn(m_dir, "VIREO", content);
        ProgramOptions options;
        options.ComPortNumber = 4;
        options.RecentFiles = {S("/a/b.st2"), S("/a/c.st2"), S("/a/d.st2"), S("/a/e.st2")};
        {
            FileSizeLimit limit(120); // more than the old file, less than the new one
            QVERIFY(limit.Active());
            const Result<> saved = SaveOptions(profile, options);
            QVERIFY(!saved && !saved.error().isEmpty());
        }
        QCOMPARE(ReadFile(profile.GetMyProfile()), content);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{S("VIREO.ini")});
        QVERIFY(SaveOptions(profile, options));
        QVERIFY(ReadFile(profile.GetMyProfile()).contains("FileName(4)=/a/e.st2\r\n"));
    }

    void tracking_data()
    {
        QTest::addColumn<QPointF>("place");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<QPoint>("expected"); // from (10, 20)
        QTest::newRow("moved window recorded") << QPointF(300, 150) << false << QPoint(300, 150);
        QTest::newRow("minimised window not recorded") << QPointF(-32000, -32000) << true << QPoint(10, 20);
        QTest::newRow("same place, no change") << QPointF(10, 20) << false << QPoint(10, 20);
        QTest::newRow("rounded, halves to even") << QPointF(10.5, 21.5) << false << QPoint(10, 22);
    }
    void tracking()
    {
        QFETCH(QPointF, place);
        QFETCH(bool, minimised);
        QFETCH(QPoint, expected);
        ProgramOptions options;
        options.WindowLeft = 10;
        options.WindowTop = 20;
        QCOMPARE(TrackWindowPosition(options, place.x(), place.y(), minimised), expected != QPoint(10, 20));
        QCOMPARE(QPoint(options.WindowLeft, options.WindowTop), expected);
    }

    void placement_data()
    {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("expected"); // on a 1920 x 1080 screen
        QTest::newRow("on screen, unchanged") << QPoint(100, 50) << QSize(800, 600) << QPoint(100, 50);
        QTest::newRow("negative position clamped to 0")
            << QPoint(-300, -15) << QSize(800, 600) << QPoint(0, 0);
        QTest::newRow("past the right and bottom edges")
            << QPoint(1500, 900) << QSize(800, 600) << QPoint(1120, 480);
        QTest::newRow("wider than the screen: left edge wins")
            << QPoint(500, 10) << QSize(2500, 600) << QPoint(0, 10);
        QTest::newRow("huge stored values")
            << QPoint(2147483647, -2147483647 - 1) << QSize(800, 600) << QPoint(1120, 0);
    }
    void placement()
    {
        QFETCH(QPoint, stored);
        QFETCH(QSize, window);
        QFETCH(QPoint, expected);
        QCOMPARE(PlaceWindow(stored.x(), stored.y(), window, QSize(1920, 1080)), expected);
    }
};

QTEST_GUILESS_MAIN(TestProgramOptions)
#include "tst_program_options.moc"
