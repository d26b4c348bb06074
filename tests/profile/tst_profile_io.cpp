// SPDX-License-Identifier: GPL-3.0-or-later
// clsLynProfileIO: text forms of every value kind, the edge cases of
// saveData and loadData, the path members, and batched writes.
#include "profile_fixture.h"

using namespace vireo;
using namespace vireo::test;

class TestProfileIO : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    clsLynProfileIO Profile(const QByteArray &content = {})
    {
        return ProfileIn(m_dir, "OPTION", content.isNull() ? nullptr : &content);
    }

  private slots:
    void noFileGivesTheDefaultBack()
    {
        clsLynProfileIO profile = Profile();
        qint16 port = 1;
        QCOMPARE(profile.loadData(S("Port"), port), qint16(-1));
        QCOMPARE(port, qint16(1));
        qint32 given = 0;
        QCOMPARE(profile.loadData(S("Top"), given, qint32(-25)), qint16(-1));
        QCOMPARE(given, -25);
        QVERIFY(!QFile::exists(profile.GetMyProfile())); // reading never creates the file
    }

    void emptyValueLeavesTheVariable()
    {
        clsLynProfileIO profile = Profile("[OPTION]\r\nPort=\r\nName=\r\n");
        qint16 port = 3;
        QCOMPARE(profile.loadData(S("Port"), port), qint16(0));
        QCOMPARE(port, qint16(3));
        QString name = S("kept");
        QCOMPARE(profile.loadData(S("Name"), name), qint16(0));
        QCOMPARE(name, S("kept"));
    }

    // What saveData writes for each kind, and that loadData gives it back.
    void savedTextForms_data()
    {
        QTest::addColumn<ProfileValue>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("True") << ProfileValue(true) << QByteArray("1");
        QTest::newRow("False") << ProfileValue(false) << QByteArray("0");
        QTest::newRow("Integer") << ProfileValue(qint16(-15)) << QByteArray("-15");
        QTest::newRow("Long") << ProfileValue(qint32(-2000000000)) << QByteArray("-2000000000");
        QTest::newRow("Byte") << ProfileValue(quint8(255)) << QByteArray("255");
        QTest::newRow("Single") << ProfileValue(0.1f) << QByteArray("0.1");
        QTest::newRow("Currency") << ProfileValue(Currency{-12345}) << QByteArray("-1.2345");
        QTest::newRow("Date") << ProfileValue(QDateTime(QDate(2024, 2, 29), QTime(23, 5, 9)))
                              << QByteArray("2024.02.29-23:05:09");
        QTest::newRow("Text") << ProfileValue(S("C:\\dir\\x.st2")) << QByteArray("C:\\dir\\x.st2");
        QTest::newRow("empty text") << ProfileValue(QString()) << QByteArray("");
    }
    void savedTextForms()
    {
        QFETCH(ProfileValue, value);
        QFETCH(QByteArray, text);
        clsLynProfileIO profile = Profile();
        QCOMPARE(profile.saveData(S("k"), value), qint16(-1));
        QCOMPARE(ReadFile(profile.GetMyProfile()), "[OPTION]\r\nk=" + text + "\r\n");
        if (text.isEmpty())
            return; // an empty value leaves the variable as it was
        ProfileValue loaded = std::visit([](auto v) { return ProfileValue(decltype(v){}); }, value);
        QCOMPARE(profile.loadData(S("k"), loaded), qint16(-1));
        QVERIFY(loaded == value);
    }

    // Text as a hand edit may leave it, the variable's kind, and what is read.
    void textRead_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<ProfileValue>("start");
        QTest::addColumn<bool>("read");
        QTest::addColumn<ProfileValue>("expected");
        const auto I = [](int v) { return ProfileValue(qint16(v)); };
        QTest::newRow("Boolean 0 is False")
            << QByteArray("0") << ProfileValue(true) << true << ProfileValue(false);
        QTest::newRow("Boolean 0 with blanks is False")
            << QByteArray("0  ") << ProfileValue(true) << true << ProfileValue(false);
        QTest::newRow("Boolean -1 is True")
            << QByteArray("-1") << ProfileValue(false) << true << ProfileValue(true);
        QTest::newRow("Boolean False is True")
            << QByteArray("False") << ProfileValue(false) << true << ProfileValue(true);
        QTest::newRow("70000 overflows 16 bits") << QByteArray("70000") << I(5) << false << I(5);
        QTest::newRow("abc is no number") << QByteArray("abc") << I(5) << false << I(5);
        QTest::newRow("number then text") << QByteArray("12abc") << I(5) << false << I(5);
        QTest::newRow("fraction rounds half to even") << QByteArray("2.5") << I(5) << true << I(2);
        QTest::newRow("currency rounds half to even")
            << QByteArray("1.00005") << ProfileValue(Currency{}) << true << ProfileValue(Currency{10000});
        const QDateTime start(QDate(2000, 1, 1), QTime(0, 0));
        QTest::newRow("date rolls over") << QByteArray("2023.13.32-25:61:61") << ProfileValue(start) << true
                                         << ProfileValue(QDateTime(QDate(2024, 2, 2), QTime(2, 2, 1)));
        QTest::newRow("text with NUL cut there")
            << QByteArray("ab\0cd", 5) << ProfileValue(QString()) << true << ProfileValue(S("ab"));
    }
    void textRead()
    {
        QFETCH(QByteArray, text);
        QFETCH(ProfileValue, start);
        QFETCH(bool, read);
        QFETCH(ProfileValue, expected);
        clsLynProfileIO profile = Profile("[OPTION]\r\nk=" + text + "\r\n");
        ProfileValue value = start;
        QCOMPARE(profile.loadData(S("k"), value), qint16(read ? -1 : 0));
        QVERIFY(value == expected);
    }

    void longValueWrittenWholeReadBackAs254()
    {
        clsLynProfileIO profile = Profile();
        const QString path = S("/") + QString(299, QLatin1Char('p'));
        QVERIFY(profile.saveData(S("FileName(1)"), path));
        QVERIFY(ReadFile(profile.GetMyProfile()).contains(path.toUtf8()));
        QString read;
        QVERIFY(profile.loadData(S("FileName(1)"), read));
        QCOMPARE(read, path.left(254));
    }

    void unwritableProfileOnlyReturnsFalse()
    {
        clsLynProfileIO profile;
        profile.SetCurrentPath(m_dir.filePath(S("no/such/folder")));
        profile.SetName(S("VIREO.ini"));
        profile.SetSection(S("OPTION"));
        QCOMPARE(profile.saveData(S("Port"), qint16(2)), qint16(0));
        QVERIFY(!profile.LastError().isEmpty());
        QVERIFY(!QFile::exists(profile.GetMyProfile()));
    }

    // Binary filler without line ends, then a key beyond the limit: what lies
    // within is read, the rest is not, and the file is never replaced.
    void fileTooLargeIsReadUpToTheLimitAndNeverReplaced()
    {
        const QByteArray content =
            "[OPTION]\r\nPort=2\r\n" + QByteArray(ProfileReadLimit, '\x01') + "\r\n[B]\r\nlate=2\r\n";
        clsLynProfileIO profile = Profile(content);
        qint16 port = 1;
        QVERIFY(profile.loadData(S("Port"), port));
        QCOMPARE(port, qint16(2));
        profile.SetSection(S("B"));
        qint16 late = 7;
        profile.loadData(S("late"), late);
        QCOMPARE(late, qint16(7));
        QCOMPARE(profile.saveData(S("Port"), qint16(3)), qint16(0));
        QVERIFY(!profile.BeginBatch());
        QCOMPARE(ReadFile(profile.GetMyProfile()), content);
    }

    // Eight-bit lines appended to sixteen-bit text would ruin the file.
    void utf16FileIsNeitherReadNorReplaced()
    {
        const QByteArray content = QByteArray("\xFF\xFE[\0O\0P\0]\0\r\0\n\0", 14);
        clsLynProfileIO profile = Profile(content);
        QCOMPARE(profile.saveData(S("Port"), qint16(3)), qint16(0));
        QVERIFY(profile.LastError().contains(S("UTF-16")));
        QCOMPARE(ReadFile(profile.GetMyProfile()), content);
    }

    void readFallbackSeedsTheFirstWrite()
    {
        const QString seed = m_dir.filePath(S("beside.ini"));
        QVERIFY(WriteFile(seed, "; site defaults\n[OPTION]\nPort=3\n"));
        clsLynProfileIO profile;
        profile.SetFullPath(m_dir.filePath(S("user/vireo/VIREO.ini")));
        profile.SetReadFallback(seed);
        profile.SetCreateFolder(true);
        profile.SetSection(S("OPTION"));
        qint16 port = 1;
        QVERIFY(profile.loadData(S("Port"), port));
        QCOMPARE(port, qint16(3));
        QVERIFY(profile.saveData(S("Speed"), qint16(2400)));
        QCOMPARE(ReadFile(profile.GetMyProfile()),
                 QByteArray("; site defaults\n[OPTION]\nPort=3\nSpeed=2400\n"));
        QCOMPARE(ReadFile(seed), QByteArray("; site defaults\n[OPTION]\nPort=3\n"));
    }

    // GetFileName (name) and GetPathName (folder; "" for the program folder).
    void splitPath_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("name");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        const int win = int(PathStyle::Windows), posix = int(PathStyle::Posix);
        QTest::newRow("windows name after folders")
            << win << true << S("C:\\dir\\sub\\file.ini") << S("file.ini");
        QTest::newRow("posix backslash and colon in a name")
            << posix << true << S("/tmp/a:b\\c.ini") << S("a:b\\c.ini");
        QTest::newRow("windows folder, slashes become backslashes")
            << win << false << S("C:/dir/f.ini") << S("C:\\dir");
        QTest::newRow("posix root keeps its slash") << posix << false << S("/VIREO.ini") << S("/");
        QTest::newRow("posix bare name: program folder") << posix << false << S("VIREO.ini") << QString();
    }
    void splitPath()
    {
        QFETCH(int, style);
        QFETCH(bool, name);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        clsLynProfileIO profile;
        profile.SetCurrentPath(S("/opt/vireo"));
        if (name)
            QCOMPARE(clsLynProfileIO::GetFileName(path, PathStyle(style)), expected);
        else
            QCOMPARE(profile.GetPathName(path, PathStyle(style)),
                     expected.isEmpty() ? S("/opt/vireo") : expected);
    }
};

QTEST_GUILESS_MAIN(TestProfileIO)
#include "tst_profile_io.moc"
