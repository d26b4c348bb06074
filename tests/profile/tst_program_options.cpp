// SPDX-License-Identifier: GPL-3.0-or-later
// Program options: LoadOptions with its defaults and corrections,
// SaveOptions as one atomic replacement, and the window-placement rules.
#include "profile/program_options.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace vireo;

namespace {

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestProgramOptions : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // The profile object as start-up makes it: program folder, VIREO.ini, section "VIREO".
    clsLynProfileIO Profile(const QByteArray *content = nullptr)
    {
        clsLynProfileIO profile;
        profile.SetCurrentPath(m_dir.path());
        profile.SetName(S("VIREO.ini"));
        profile.SetSection(S("VIREO"));
        QFile::remove(profile.GetMyProfile());
        if (content)
            WriteAll(profile.GetMyProfile(), *content);
        return profile;
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
        QCOMPARE(options.ToolbarShown, true);
        QCOMPARE(options.WindowTop, 0);
        QCOMPARE(options.WindowLeft, 0);
        for (const QString &file : options.RecentFiles)
            QVERIFY(file.isEmpty());
        QVERIFY(!QFile::exists(profile.GetMyProfile()));

        // At exit the file is created: three sections in order, all nine keys.
        QVERIFY(SaveOptions(profile, options));
        QCOMPARE(
            ReadAll(profile.GetMyProfile()),
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
        QTest::newRow("port 7 becomes 1") << QByteArray("7") << QByteArray("9600") << 1 << 9600;
        QTest::newRow("port 0 becomes 1") << QByteArray("0") << QByteArray("9600") << 1 << 9600;
        QTest::newRow("port text becomes 1") << QByteArray("COM2") << QByteArray("9600") << 1 << 9600;
        QTest::newRow("port 4 kept") << QByteArray("4") << QByteArray("9600") << 4 << 9600;
        QTest::newRow("speed 4800 becomes 9600") << QByteArray("2") << QByteArray("4800") << 2 << 9600;
        QTest::newRow("speed 38400 does not fit, 9600 stays")
            << QByteArray("2") << QByteArray("38400") << 2 << 9600;
        QTest::newRow("speed 28800 kept") << QByteArray("2") << QByteArray("28800") << 2 << 28800;
        QTest::newRow("speed 1200 kept") << QByteArray("2") << QByteArray("1200") << 2 << 1200;
        QTest::newRow("speed empty, default") << QByteArray("3") << QByteArray("") << 3 << 9600;
    }
    void corrections()
    {
        QFETCH(QByteArray, port);
        QFETCH(QByteArray, speed);
        QFETCH(int, expectedPort);
        QFETCH(int, expectedSpeed);
        const QByteArray content = "[OPTION]\r\nPort=" + port + "\r\nSpeed=" + speed + "\r\n";
        clsLynProfileIO profile = Profile(&content);
        ProgramOptions options;
        LoadOptions(profile, options);
        QCOMPARE(int(options.ComPortNumber), expectedPort);
        QCOMPARE(int(options.ComSpeed), expectedSpeed);
    }

    void handEditedProfile()
    {
        // Lower-case names, LF line ends, a negative position, a gap in the list.
        const QByteArray content("[option]\ntoolbar=0\n[status]\nwindowposition(top)=-300\n"
                                 "WINDOWPOSITION(LEFT)=-15\n[recentfiles]\nfilename(1)=/home/u/a.st2\n"
                                 "FileName(3)=C:\\dir\\c.st2\n");
        clsLynProfileIO profile = Profile(&content);
        ProgramOptions options;
        LoadOptions(profile, options);
        QCOMPARE(options.ToolbarShown, false);
        QCOMPARE(options.WindowTop, -300); // loaded unchanged; the window clamps it
        QCOMPARE(options.WindowLeft, -15);
        QCOMPARE(options.RecentFiles[0], S("/home/u/a.st2"));
        QCOMPARE(options.RecentFiles[1], QString());
        QCOMPARE(options.RecentFiles[2], S("C:\\dir\\c.st2"));
        QCOMPARE(profile.Section(), S("RecentFiles"));
    }

    void longRecentFileCut()
    {
        const QByteArray path = "/" + QByteArray(400, 'd') + ".st2";
        const QByteArray content = "[RecentFiles]\r\nFileName(2)=" + path + "\r\n";
        clsLynProfileIO profile = Profile(&content);
        ProgramOptions options;
        LoadOptions(profile, options);
        QCOMPARE(options.RecentFiles[1], QString::fromLatin1(path.left(254)));
    }

    void saveKeepsForeignLinesAndEqualsNineSingleWrites()
    {
        const QByteArray content(
            "; Vireo profile, edited by hand\r\n\r\n[option]\r\nport=2\r\nSpeed=28800\r\n"
            "\r\n[PORTS]\r\nCOM2=/dev/serial/by-id/usb-FTDI_1\r\n\r\n[Mine]\r\nb=2\r\na=1\r\n");
        ProgramOptions options;
        options.ComPortNumber = 3;
        options.ComSpeed = 28800;
        options.ToolbarShown = false;
        options.WindowTop = -45;
        options.WindowLeft = 1200;
        options.RecentFiles = {S("/home/u/b.st2"), S("C:\\x\\a.st2"), QString(), QString()};

        clsLynProfileIO single = Profile(&content);
        single.SetSection(S("OPTION"));
        single.saveData(S("Port"), options.ComPortNumber);
        single.saveData(S("Speed"), options.ComSpeed);
        single.saveData(S("ToolBar"), options.ToolbarShown);
        single.SetSection(S("STATUS"));
        single.saveData(S("WindowPosition(Top)"), options.WindowTop);
        single.saveData(S("WindowPosition(Left)"), options.WindowLeft);
        single.SetSection(S("RecentFiles"));
        for (int n = 1; n <= 4; ++n)
            single.saveData(S("FileName(%1)").arg(n), options.RecentFiles[n - 1]);
        const QByteArray nineWrites = ReadAll(single.GetMyProfile());

        clsLynProfileIO profile = Profile(&content);
        QVERIFY(SaveOptions(profile, options));
        const QByteArray saved = ReadAll(profile.GetMyProfile());
        QCOMPARE(saved, nineWrites);
        QCOMPARE(saved,
                 QByteArray("; Vireo profile, edited by hand\r\n\r\n[option]\r\nport=3\r\nSpeed=28800\r\n"
                            "ToolBar=0\r\n\r\n[PORTS]\r\nCOM2=/dev/serial/by-id/usb-FTDI_1\r\n\r\n"
                            "[Mine]\r\nb=2\r\na=1\r\n"
                            "[STATUS]\r\nWindowPosition(Top)=-45\r\nWindowPosition(Left)=1200\r\n"
                            "[RecentFiles]\r\nFileName(1)=/home/u/b.st2\r\nFileName(2)=C:\\x\\a.st2\r\n"
                            "FileName(3)=\r\nFileName(4)=\r\n"));

        // What was saved loads back as it was.
        ProgramOptions loaded;
        LoadOptions(profile, loaded);
        QCOMPARE(loaded.ComPortNumber, options.ComPortNumber);
        QCOMPARE(loaded.ToolbarShown, options.ToolbarShown);
        QCOMPARE(loaded.WindowTop, options.WindowTop);
        QCOMPARE(loaded.WindowLeft, options.WindowLeft);
        QCOMPARE(loaded.RecentFiles, options.RecentFiles);
    }

    void saveIsOneAtomicReplacement()
    {
#ifdef Q_OS_UNIX
        // A file-size limit makes the disk "full" part-way through the save.
        // Nine single writes would leave the first few keys changed; the one
        // replacement leaves the old profile whole, and no temporary file.
        const QByteArray content("; mine\r\n[OPTION]\r\nPort=2\r\n");
        clsLynProfileIO profile = Profile(&content);
        ProgramOptions options;
        options.ComPortNumber = 4;
        options.RecentFiles = {S("/a/b.st2"), S("/a/c.st2"), S("/a/d.st2"), S("/a/e.st2")};

        rlimit old{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 120; // more than the old file, less than the new one
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const bool saved = SaveOptions(profile, options);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!saved);
        QVERIFY(!profile.LastError().isEmpty());
        QCOMPARE(ReadAll(profile.GetMyProfile()), content);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{S("VIREO.ini")});

        // Without the limit the same save goes through.
        QVERIFY(SaveOptions(profile, options));
        QVERIFY(ReadAll(profile.GetMyProfile()).contains("FileName(4)=/a/e.st2\r\n"));
#else
        QSKIP("needs a file-size limit (setrlimit)");
#endif
    }

    void tracking_data()
    {
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("expectedLeft");
        QTest::addColumn<int>("expectedTop");
        QTest::newRow("moved window recorded") << 300.0 << 150.0 << false << true << 300 << 150;
        QTest::newRow("minimised window not recorded") << -32000.0 << -32000.0 << true << false << 10 << 20;
        QTest::newRow("same place, no change") << 10.0 << 20.0 << false << false << 10 << 20;
        QTest::newRow("only top moved, both taken") << 10.0 << 25.0 << false << true << 10 << 25;
        QTest::newRow("rounded, halves to even") << 10.5 << 21.5 << false << true << 10 << 22;
        QTest::newRow("negative position recorded") << -8.0 << -8.0 << false << true << -8 << -8;
    }
    void tracking()
    {
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(bool, minimised);
        QFETCH(bool, changed);
        QFETCH(int, expectedLeft);
        QFETCH(int, expectedTop);
        ProgramOptions options;
        options.WindowLeft = 10;
        options.WindowTop = 20;
        QCOMPARE(TrackWindowPosition(options, left, top, minimised), changed);
        QCOMPARE(options.WindowLeft, expectedLeft);
        QCOMPARE(options.WindowTop, expectedTop);
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
