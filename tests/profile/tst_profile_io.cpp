// SPDX-License-Identifier: GPL-3.0-or-later
// clsLynProfileIO: text forms of every value kind, the edge cases of
// saveData and loadData, the path members, and batched writes.
#include "profile/profile_io.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

class TestProfileIO : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    clsLynProfileIO Profile(const QByteArray *content = nullptr)
    {
        clsLynProfileIO profile;
        profile.SetCurrentPath(m_dir.path());
        profile.SetName(S("VIREO.ini"));
        profile.SetSection(S("OPTION"));
        QFile::remove(profile.GetMyProfile());
        if (content)
            WriteAll(profile.GetMyProfile(), *content);
        return profile;
    }

  private slots:
    void initialState()
    {
        const clsLynProfileIO profile;
        QCOMPARE(profile.Name(), S("Profile.INI"));
        QCOMPARE(profile.Path(), QString());
        QCOMPARE(profile.Section(), QString());
        QCOMPARE(profile.GetMyProfile(), S("Profile.INI"));
    }

    void noFileGivesTheDefaultBack()
    {
        clsLynProfileIO profile = Profile();
        qint16 port = 1;
        QCOMPARE(profile.loadData(S("Port"), port), qint16(-1));
        QCOMPARE(port, qint16(1));
        QString text;
        QCOMPARE(profile.loadData(S("Name"), text), qint16(0));
        QVERIFY(text.isEmpty());
        qint32 given = 0;
        QCOMPARE(profile.loadData(S("Top"), given, qint32(-25)), qint16(-1));
        QCOMPARE(given, -25);
        QVERIFY(!QFile::exists(profile.GetMyProfile())); // reading never creates the file
    }

    void emptyValueLeavesTheVariable()
    {
        const QByteArray content("[OPTION]\r\nPort=\r\nName=\r\n");
        clsLynProfileIO profile = Profile(&content);
        qint16 port = 3;
        QCOMPARE(profile.loadData(S("Port"), port), qint16(0));
        QCOMPARE(port, qint16(3));
        QString name = S("kept");
        QCOMPARE(profile.loadData(S("Name"), name), qint16(0));
        QCOMPARE(name, S("kept"));
    }

    void booleanRead_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("0 is False") << QByteArray("0") << false;
        QTest::newRow("1 is True") << QByteArray("1") << true;
        QTest::newRow("-1 is True") << QByteArray("-1") << true;
        QTest::newRow("False is True") << QByteArray("False") << true;
        QTest::newRow("no is True") << QByteArray("no") << true;
        QTest::newRow("0 with trailing blanks is False") << QByteArray("0   ") << false;
    }
    void booleanRead()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, expected);
        const QByteArray content = "[OPTION]\r\nToolBar=" + text + "\r\n";
        clsLynProfileIO profile = Profile(&content);
        bool shown = !expected;
        QCOMPARE(profile.loadData(S("ToolBar"), shown), qint16(-1));
        QCOMPARE(shown, expected);
    }

    void numberRead_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("read");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("14400") << true << 14400;
        QTest::newRow("negative") << QByteArray("-32768") << true << -32768;
        QTest::newRow("70000 overflows 16 bits") << QByteArray("70000") << false << 5;
        QTest::newRow("abc is no number") << QByteArray("abc") << false << 5;
        QTest::newRow("38400 overflows 16 bits") << QByteArray("38400") << false << 5;
        QTest::newRow("fraction rounds half to even") << QByteArray("2.5") << true << 2;
        QTest::newRow("blanks around") << QByteArray("  12  ") << true << 12;
        QTest::newRow("number then text") << QByteArray("12abc") << false << 5;
    }
    void numberRead()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, read);
        QFETCH(int, expected);
        const QByteArray content = "[OPTION]\r\nSpeed=" + text + "\r\n";
        clsLynProfileIO profile = Profile(&content);
        qint16 speed = 5;
        QCOMPARE(profile.loadData(S("Speed"), speed), qint16(read ? -1 : 0));
        QCOMPARE(int(speed), expected);
    }

    void otherKindsRoundTrip()
    {
        clsLynProfileIO profile = Profile();
        const QDateTime when(QDate(2024, 2, 29), QTime(23, 5, 9));
        QVERIFY(profile.saveData(S("Long"), qint32(-2000000000)));
        QVERIFY(profile.saveData(S("Byte"), quint8(255)));
        QVERIFY(profile.saveData(S("Single"), 0.1f));
        QVERIFY(profile.saveData(S("Double"), 1.0 / 3.0));
        QVERIFY(profile.saveData(S("Currency"), Currency{-12345}));
        QVERIFY(profile.saveData(S("Date"), when));
        const QByteArray file = ReadAll(profile.GetMyProfile());
        QVERIFY(file.contains("Long=-2000000000\r\n"));
        QVERIFY(file.contains("Single=0.1\r\n"));
        QVERIFY(file.contains("Currency=-1.2345\r\n"));
        QVERIFY(file.contains("Date=2024.02.29-23:05:09\r\n"));

        qint32 l = 0;
        quint8 b = 0;
        float f = 0;
        double d = 0;
        Currency c;
        QDateTime t;
        QVERIFY(profile.loadData(S("Long"), l));
        QVERIFY(profile.loadData(S("Byte"), b));
        QVERIFY(profile.loadData(S("Single"), f));
        QVERIFY(profile.loadData(S("Double"), d));
        QVERIFY(profile.loadData(S("Currency"), c));
        QVERIFY(profile.loadData(S("Date"), t));
        QCOMPARE(l, -2000000000);
        QCOMPARE(b, quint8(255));
        QCOMPARE(f, 0.1f);
        QCOMPARE(d, 1.0 / 3.0);
        QCOMPARE(c, Currency{-12345});
        QCOMPARE(t, when);
    }

    void kindConversions_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<ProfileValue>("start");
        QTest::addColumn<bool>("read");
        QTest::addColumn<ProfileValue>("expected");
        QTest::newRow("byte 256 overflows")
            << QByteArray("256") << ProfileValue(quint8(7)) << false << ProfileValue(quint8(7));
        QTest::newRow("byte -1 overflows")
            << QByteArray("-1") << ProfileValue(quint8(7)) << false << ProfileValue(quint8(7));
        QTest::newRow("currency rounds half to even")
            << QByteArray("1.00005") << ProfileValue(Currency{}) << true << ProfileValue(Currency{10000});
        QTest::newRow("currency rounds up")
            << QByteArray("-0.00006") << ProfileValue(Currency{}) << true << ProfileValue(Currency{-1});
        QTest::newRow("currency text")
            << QByteArray("1.2.3") << ProfileValue(Currency{5}) << false << ProfileValue(Currency{5});
        QTest::newRow("single overflow")
            << QByteArray("1e39") << ProfileValue(1.0f) << false << ProfileValue(1.0f);
        QTest::newRow("double text") << QByteArray("x") << ProfileValue(2.0) << false << ProfileValue(2.0);
        const QDateTime start(QDate(2000, 1, 1), QTime(0, 0));
        QTest::newRow("date rolls over") << QByteArray("2023.13.32-25:61:61") << ProfileValue(start) << true
                                         << ProfileValue(QDateTime(QDate(2024, 2, 2), QTime(2, 2, 1)));
        QTest::newRow("date separators are skipped")
            << QByteArray("2024x01y02z03:04:05") << ProfileValue(start) << true
            << ProfileValue(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
        QTest::newRow("date of another length is kept, read counts")
            << QByteArray("2024.01.02") << ProfileValue(start) << true << ProfileValue(start);
        QTest::newRow("text with NUL cut there")
            << QByteArray("ab\0cd", 5) << ProfileValue(QString()) << true << ProfileValue(S("ab"));
    }
    void kindConversions()
    {
        QFETCH(QByteArray, text);
        QFETCH(ProfileValue, start);
        QFETCH(bool, read);
        QFETCH(ProfileValue, expected);
        const QByteArray content = "[OPTION]\r\nk=" + text + "\r\n";
        clsLynProfileIO profile = Profile(&content);
        ProfileValue value = start;
        QCOMPARE(profile.loadData(S("k"), value), qint16(read ? -1 : 0));
        QVERIFY(value == expected);
    }

    void refusedKinds()
    {
        clsLynProfileIO profile = Profile();
        ProfileValue none;
        QCOMPARE(profile.saveData(S("k"), none), qint16(0));
        QCOMPARE(profile.loadData(S("k"), none), qint16(0));
        QVERIFY(!QFile::exists(profile.GetMyProfile()));
        // A default of another kind than the variable: False, variable kept.
        ProfileValue port = qint16(2);
        QCOMPARE(profile.loadData(S("Port"), port, ProfileValue(qint32(3))), qint16(0));
        QVERIFY(port == ProfileValue(qint16(2)));
    }

    void longValueReadBackAs254()
    {
        clsLynProfileIO profile = Profile();
        profile.SetSection(S("RecentFiles"));
        const QString path = S("/") + QString(299, QLatin1Char('p'));
        QVERIFY(profile.saveData(S("FileName(1)"), path));
        QVERIFY(ReadAll(profile.GetMyProfile()).contains(path.toUtf8())); // written whole
        QString read;
        QVERIFY(profile.loadData(S("FileName(1)"), read));
        QCOMPARE(read.size(), 254);
        QCOMPARE(read, path.left(254));
    }

    void savedTextForms()
    {
        clsLynProfileIO profile = Profile();
        QCOMPARE(profile.saveData(S("True"), true), qint16(-1));
        QVERIFY(profile.saveData(S("False"), false));
        QVERIFY(profile.saveData(S("Text"), S("C:\\dir\\x.st2")));
        QVERIFY(profile.saveData(S("Empty"), QString()));
        QVERIFY(profile.saveData(S("Negative"), qint16(-15)));
        profile.SetSection(S("STATUS"));
        QVERIFY(profile.saveData(S("WindowPosition(Top)"), qint32(0)));
        QCOMPARE(ReadAll(profile.GetMyProfile()),
                 QByteArray("[OPTION]\r\nTrue=1\r\nFalse=0\r\nText=C:\\dir\\x.st2\r\n"
                            "Empty=\r\nNegative=-15\r\n"
                            "[STATUS]\r\nWindowPosition(Top)=0\r\n"));
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

    void batchGivesTheContentOfSingleWritesInOneReplacement()
    {
        const QByteArray content("; mine\r\n[STATUS]\r\nwindowposition(top)=5\r\n\r\n[Other]\r\nz=1\r\n");
        const auto writeAll = [](clsLynProfileIO &p) {
            p.SetSection(S("OPTION"));
            p.saveData(S("Port"), qint16(2));
            p.SetSection(S("STATUS"));
            p.saveData(S("WindowPosition(Top)"), qint32(-7));
            p.saveData(S("WindowPosition(Left)"), qint32(9));
        };
        clsLynProfileIO single = Profile(&content);
        writeAll(single);
        const QByteArray expected = ReadAll(single.GetMyProfile());

        clsLynProfileIO batched = Profile(&content);
        QVERIFY(batched.BeginBatch());
        writeAll(batched);
        QCOMPARE(ReadAll(batched.GetMyProfile()), content); // nothing on disk yet
        qint32 top = 0;
        QVERIFY(batched.loadData(S("WindowPosition(Top)"), top)); // reads see the batch
        QCOMPARE(top, -7);
        QVERIFY(batched.CommitBatch());
        QCOMPARE(ReadAll(batched.GetMyProfile()), expected);

        clsLynProfileIO dropped = Profile(&content);
        dropped.BeginBatch();
        writeAll(dropped);
        dropped.DiscardBatch();
        QCOMPARE(ReadAll(dropped.GetMyProfile()), content);
    }

    void fileTooLargeIsNeverReplaced()
    {
        QByteArray content("[OPTION]\r\nPort=2\r\n");
        content += QByteArray(ProfileReadLimit, 'x');
        clsLynProfileIO profile = Profile(&content);
        qint16 port = 1;
        QVERIFY(profile.loadData(S("Port"), port)); // the part within the limit is read
        QCOMPARE(port, qint16(2));
        QCOMPARE(profile.saveData(S("Port"), qint16(3)), qint16(0));
        QVERIFY(!profile.BeginBatch());
        QCOMPARE(profile.saveData(S("Port"), qint16(3)), qint16(0));
        QVERIFY(!profile.CommitBatch());
        QCOMPARE(ReadAll(profile.GetMyProfile()), content);
    }

    void readFallbackSeedsTheFirstWrite()
    {
        const QString seed = m_dir.filePath(S("beside.ini"));
        WriteAll(seed, "; site defaults\n[OPTION]\nPort=3\n");
        clsLynProfileIO profile;
        profile.SetFullPath(m_dir.filePath(S("user/vireo/VIREO.ini")));
        profile.SetReadFallback(seed);
        profile.SetCreateFolder(true);
        profile.SetSection(S("OPTION"));
        qint16 port = 1;
        QVERIFY(profile.loadData(S("Port"), port));
        QCOMPARE(port, qint16(3));
        QVERIFY(profile.saveData(S("Speed"), qint16(2400)));
        QCOMPARE(ReadAll(profile.GetMyProfile()),
                 QByteArray("; site defaults\n[OPTION]\nPort=3\nSpeed=2400\n"));
        QCOMPARE(ReadAll(seed), QByteArray("; site defaults\n[OPTION]\nPort=3\n"));
    }

    void stripTerminator()
    {
        QCOMPARE(clsLynProfileIO::StripTerminator(S("abc")), S("abc"));
        QCOMPARE(clsLynProfileIO::StripTerminator(QString::fromLatin1("ab\0c  ", 6)), S("ab"));
        QCOMPARE(clsLynProfileIO::StripTerminator(QString()), QString());
    }

    void getFileName_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        const int win = int(PathStyle::Windows), posix = int(PathStyle::Posix);
        QTest::newRow("windows: folders") << win << S("C:\\dir\\sub\\file.ini") << S("file.ini");
        QTest::newRow("windows: drive without backslash") << win << S("C:file.ini") << S("file.ini");
        QTest::newRow("windows: only slashes, whole text")
            << win << S("dir/sub/file.ini") << S("dir/sub/file.ini");
        QTest::newRow("windows: bare name") << win << S("file.ini") << S("file.ini");
        QTest::newRow("posix: folders") << posix << S("/home/u/VIREO.ini") << S("VIREO.ini");
        QTest::newRow("posix: backslash and colon are name characters")
            << posix << S("/tmp/a:b\\c.ini") << S("a:b\\c.ini");
    }
    void getFileName()
    {
        QFETCH(int, style);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(clsLynProfileIO::GetFileName(path, PathStyle(style)), expected);
    }

    void getPathName_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        const int win = int(PathStyle::Windows), posix = int(PathStyle::Posix);
        QTest::newRow("windows: folders") << win << S("C:\\dir\\sub\\file.ini") << S("C:\\dir\\sub");
        QTest::newRow("windows: slashes become backslashes") << win << S("C:/dir/file.ini") << S("C:\\dir");
        QTest::newRow("windows: drive root") << win << S("C:\\file.ini") << S("C:");
        QTest::newRow("windows: only backslash last") << win << S("dir\\") << S("dir");
        QTest::newRow("windows: bare name gives program folder") << win << S("file.ini") << S("<program>");
        QTest::newRow("windows: empty gives program folder") << win << QString() << S("<program>");
        QTest::newRow("posix: folders") << posix << S("/home/u/VIREO.ini") << S("/home/u");
        QTest::newRow("posix: root keeps its slash") << posix << S("/VIREO.ini") << S("/");
        QTest::newRow("posix: only slash last") << posix << S("dir/") << S("dir");
        QTest::newRow("posix: bare name gives program folder") << posix << S("VIREO.ini") << S("<program>");
    }
    void getPathName()
    {
        QFETCH(int, style);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        clsLynProfileIO profile;
        profile.SetCurrentPath(S("/opt/vireo"));
        const QString result = profile.GetPathName(path, PathStyle(style));
        QCOMPARE(result, expected == S("<program>") ? S("/opt/vireo") : expected);
    }

    void pathMembers()
    {
        clsLynProfileIO profile;
        profile.SetCurrentPath(S("/opt/vireo"));
        QCOMPARE(profile.Path(), S("/opt/vireo/"));
        profile.SetCurrentPath(S("/"));
        QCOMPARE(profile.Path(), S("/"));
        profile.SetCurrentPath();
        QVERIFY(profile.Path().endsWith(PathSeparator()));
        QVERIFY(!profile.Path().endsWith(QString(2, PathSeparator())));

        profile.SetFullPath(S("/etc/vireo/VIREO.ini"));
        QCOMPARE(profile.Path(), S("/etc/vireo/"));
        QCOMPARE(profile.Name(), S("VIREO.ini"));
        QCOMPARE(profile.FullPath(), S("/etc/vireo/VIREO.ini"));
        profile.SetPath(S("/x/"));
        profile.SetName(S("y.ini"));
        QCOMPARE(profile.GetMyProfile(), S("/x/y.ini")); // plain concatenation
        QVERIFY(clsLynProfileIO::UCase16(S("aBc")) == ProfileValue(S("aBc")));
    }
};

QTEST_GUILESS_MAIN(TestProfileIO)
#include "tst_profile_io.moc"
