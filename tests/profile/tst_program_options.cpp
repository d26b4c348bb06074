// SPDX-License-Identifier: GPL-3.0-or-later
// Program options: LoadOptions with its defaults and corrections,
// SaveOptions as one atomic replacement, and the window-placement rules.
#include "profile/program_options.h"
#include "profile_fixture.h"

#include <QDir>

using namespace vireo;
using namespace vireo::test;

class TestProgramOptions : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    // The profile object as start-up makes it: section "VIREO".
    clsLynProfileIO Profile(const QByteArray &content = {})
    {
        return ProfileIn(m_dir, "VIREO", content.isNull() ? nullptr : &content);
    }

  private slots:
    void firstStartWithoutProfile()
    {
        clsLynProfileIO profile = Profile();
        ProgramOptions options;
        options.ComPortNumber = 3; // LoadOptions sets its own defaults first
        options.RecentFiles[2] = S("stale");
        LoadOptions(profile, options);
        QCOMPARE(options.ComPortNumber, qint16(1));
        QCOMPARE(options.ComSpeed, qint16(9600));
        QCOMPARE(options.RecentFiles[2], QString());
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
        clsLynProfileIO profile = Profile("[OPTION]\r\nPort=" + port + "\r\nSpeed=" + speed + "\r\n");
        ProgramOptions options;
        LoadOptions(profile, options);
        QCOMPARE(int(options.ComPortNumber), expectedPort);
        QCOMPARE(int(options.ComSpeed), expectedSpeed);
    }

    void saveKeepsForeignLinesAndLoadsBack()
    {
        clsLynProfileIO profile = Profile("; edited by hand\r\n\r\n[option]\r\nport=2\r\n"
                                          "\r\n[PORTS]\r\nCOM2=/dev/ttyUSB0\r\n");
        ProgramOptions options;
        options.ComPortNumber = 3;
        options.ComSpeed = 28800;
        options.ToolbarShown = false;
        options.WindowTop = -45;
        options.WindowLeft = 1200;
        options.RecentFiles = {S("/home/u/b.st2"), S("C:\\x\\a.st2"), QString(), QString()};
        QVERIFY(SaveOptions(profile, options));
        QCOMPARE(ReadFile(profile.GetMyProfile()),
                 QByteArray("; edited by hand\r\n\r\n[option]\r\nport=3\r\nSpeed=28800\r\nToolBar=0\r\n"
                            "\r\n[PORTS]\r\nCOM2=/dev/ttyUSB0\r\n"
                            "[STATUS]\r\nWindowPosition(Top)=-45\r\nWindowPosition(Left)=1200\r\n"
                            "[RecentFiles]\r\nFileName(1)=/home/u/b.st2\r\nFileName(2)=C:\\x\\a.st2\r\n"
                            "FileName(3)=\r\nFileName(4)=\r\n"));
        ProgramOptions loaded;
        LoadOptions(profile, loaded);
        QCOMPARE(loaded.ComSpeed, options.ComSpeed);
        QCOMPARE(loaded.ToolbarShown, false);
        QCOMPARE(loaded.WindowTop, options.WindowTop);
        QCOMPARE(loaded.RecentFiles, options.RecentFiles);
    }

    // The disk fills part-way through the save: nine single writes would leave
    // the first keys changed; the one replacement leaves the old profile whole.
    void saveIsOneAtomicReplacement()
    {
        const QByteArray content("; mine\r\n[OPTION]\r\nPort=2\r\n");
        clsLynProfileIO profile = Profile(content);
        ProgramOptions options;
        options.ComPortNumber = 4;
        options.RecentFiles = {S("/a/b.st2"), S("/a/c.st2"), S("/a/d.st2"), S("/a/e.st2")};
        {
            FileSizeLimit limit(120); // more than the old file, less than the new one
            QVERIFY(limit.Active());
            QVERIFY(!SaveOptions(profile, options));
        }
        QVERIFY(!profile.LastError().isEmpty());
        QCOMPARE(ReadFile(profile.GetMyProfile()), content);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{S("VIREO.ini")});
        QVERIFY(SaveOptions(profile, options));
        QVERIFY(ReadFile(profile.GetMyProfile()).contains("FileName(4)=/a/e.st2\r\n"));
    }

    void tracking_data()
    {
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("moved window recorded") << 300.0 << 150.0 << false << true << QPoint(300, 150);
        QTest::newRow("minimised window not recorded")
            << -32000.0 << -32000.0 << true << false << QPoint(10, 20);
        QTest::newRow("same place, no change") << 10.0 << 20.0 << false << false << QPoint(10, 20);
        QTest::newRow("rounded, halves to even") << 10.5 << 21.5 << false << true << QPoint(10, 22);
    }
    void tracking()
    {
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(bool, minimised);
        QFETCH(bool, changed);
        QFETCH(QPoint, expected);
        ProgramOptions options;
        options.WindowLeft = 10;
        options.WindowTop = 20;
        QCOMPARE(TrackWindowPosition(options, left, top, minimised), changed);
        QCOMPARE(QPoint(options.WindowLeft, options.WindowTop), expected);
    }

    void placement_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("on screen, unchanged") << 100 << 50 << QSize(800, 600) << QPoint(100, 50);
        QTest::newRow("negative position clamped to 0") << -300 << -15 << QSize(800, 600) << QPoint(0, 0);
        QTest::newRow("past the right and bottom edges")
            << 1500 << 900 << QSize(800, 600) << QPoint(1120, 480);
        QTest::newRow("wider than the screen: left edge wins")
            << 500 << 10 << QSize(2500, 600) << QPoint(0, 10);
        QTest::newRow("huge stored values")
            << 2147483647 << -2147483647 - 1 << QSize(800, 600) << QPoint(1120, 0);
    }
    void placement()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(QSize, window);
        QFETCH(QPoint, expected);
        QCOMPARE(PlaceWindow(left, top, window, QSize(1920, 1080)), expected);
    }
};

QTEST_GUILESS_MAIN(TestProgramOptions)
#include "tst_program_options.moc"
