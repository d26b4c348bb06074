// SPDX-License-Identifier: GPL-3.0-or-later
// ProfileFile: the text form of each value kind, reading with defaults and
// conversions, profiles that are never replaced, the read fallback and paths.
#include "profile_fixture.h"

#include <QFileInfo>

#include <sys/stat.h>

using namespace vireo;
using namespace vireo::test;

class TestProfileFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    // What SaveData writes for each kind (nothing for a value of no kind), read back by LoadData.
    void savedTextForms_data()
    {
        QTest::addColumn<ProfileValue>("value");
        QTest::addColumn<QByteArray>("text"); // null: refused, no file
        QTest::newRow("true") << ProfileValue(true) << QByteArray("1");
        QTest::newRow("false") << ProfileValue(false) << QByteArray("0");
        QTest::newRow("16-bit") << ProfileValue(qint16(-15)) << QByteArray("-15");
        QTest::newRow("32-bit") << ProfileValue(qint32(-2000000000)) << QByteArray("-2000000000");
        QTest::newRow("text") << ProfileValue(S("C:\\dir\\x.st2")) << QByteArray("C:\\dir\\x.st2");
        QTest::newRow("empty text") << ProfileValue(QString()) << QByteArray("");
        QTest::newRow("no kind") << ProfileValue() << QByteArray();
    }
    void savedTextForms()
    {
        QFETCH(ProfileValue, value);
        QFETCH(QByteArray, text);
        ProfileFile profile = ProfileIn(m_dir, "OPTION");
        QCOMPARE(profile.SaveData(S("k"), value).ok(), !text.isNull());
        QCOMPARE(ReadFile(profile.GetMyProfile()), text.isNull() ? text : "[OPTION]\r\nk=" + text + "\r\n");
        const ProfileValue blank = std::visit([](auto v) { return ProfileValue(decltype(v){}); }, value);
        ProfileValue loaded = blank;
        QCOMPARE(profile.LoadData(S("k"), loaded), !text.isEmpty()); // an empty value is no value
        QVERIFY(loaded == (text.isEmpty() ? blank : value));
    }

    // A stored text (null: no file), the variable, the default given, and what is read.
    void textRead_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<ProfileValue>("start");
        QTest::addColumn<ProfileValue>("fallback"); // no kind: no default given
        QTest::addColumn<bool>("read");
        QTest::addColumn<ProfileValue>("expected");
        const auto I = [](int v) { return ProfileValue(qint16(v)); };
        const ProfileValue none;
        const QByteArray noFile;
        QTest::newRow("no file: the variable is its own default") << noFile << I(1) << none << true << I(1);
        QTest::newRow("no file: the default given")
            << noFile << ProfileValue(qint32(0)) << ProfileValue(qint32(-25)) << true
            << ProfileValue(qint32(-25));
        QTest::newRow("no file: an empty text reads nothing")
            << noFile << ProfileValue(QString()) << none << false << ProfileValue(QString());
        QTest::newRow("empty value keeps the variable") << QByteArray("") << I(3) << none << false << I(3);
        QTest::newRow("default of another kind")
            << QByteArray("5") << I(3) << ProfileValue(S("7")) << false << I(3);
        QTest::newRow("0 is false") << QByteArray("0") << ProfileValue(true) << none << true
                                    << ProfileValue(false);
        QTest::newRow("0 and blanks is false")
            << QByteArray("0  ") << ProfileValue(true) << none << true << ProfileValue(false);
        QTest::newRow("-1 is true") << QByteArray("-1") << ProfileValue(false) << none << true
                                    << ProfileValue(true);
        QTest::newRow("False is true")
            << QByteArray("False") << ProfileValue(false) << none << true << ProfileValue(true);
        QTest::newRow("70000 overflows 16 bits") << QByteArray("70000") << I(5) << none << false << I(5);
        QTest::newRow("abc is no number") << QByteArray("abc") << I(5) << none << false << I(5);
        QTest::newRow("number then text") << QByteArray("12abc") << I(5) << none << false << I(5);
        QTest::newRow("fraction rounds half to even") << QByteArray("2.5") << I(5) << none << true << I(2);
        QTest::newRow("text cut at a NUL")
            << QByteArray("ab\0cd", 5) << ProfileValue(QString()) << none << true << ProfileValue(S("ab"));
        const QByteArray path = "/" + QByteArray(299, 'p');
        QTest::newRow("long text read back as 254 characters")
            << path << ProfileValue(QString()) << none << true
            << ProfileValue(QString::fromLatin1(path.left(254)));
    }
    void textRead()
    {
        QFETCH(QByteArray, text);
        QFETCH(ProfileValue, start);
        QFETCH(ProfileValue, fallback);
        QFETCH(bool, read);
        QFETCH(ProfileValue, expected);
        ProfileFile profile =
            ProfileIn(m_dir, "OPTION", text.isNull() ? text : "[OPTION]\r\nk=" + text + "\r\n");
        ProfileValue value = start;
        const bool given = !std::holds_alternative<std::monostate>(fallback);
        QCOMPARE(given ? profile.LoadData(S("k"), value, fallback) : profile.LoadData(S("k"), value), read);
        QVERIFY(value == expected);
        QCOMPARE(QFile::exists(profile.GetMyProfile()), !text.isNull()); // reading never creates the file
    }

    // A profile that cannot be read whole is used as far as it was read and
    // never replaced, nor is one whose folder is missing created.
    void neverReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("batchBegins");
        QTest::addColumn<QString>("reason");
        QTest::newRow("too large: read up to the limit")
            << S("file")
            << "[OPTION]\r\nPort=2\r\n" + QByteArray(ProfileReadLimit, '\x01') + "\r\nSpeed=2400\r\n"
            << 2 << false << S("larger than");
        QTest::newRow("FIFO: never opened")
            << S("fifo") << QByteArray() << 1 << false << S("not a regular file");
        QTest::newRow("missing folder") << S("no folder") << QByteArray() << 1 << true << QString();
    }
    void neverReplaced()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(int, port);
        QFETCH(bool, batchBegins);
        QFETCH(QString, reason);
        ProfileFile profile = ProfileIn(m_dir, "OPTION", content);
        if (kind == S("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(profile.GetMyProfile()).constData(), 0600), 0);
        if (kind == S("no folder"))
            profile.SetCurrentPath(m_dir.filePath(S("no/such/folder")));
        qint16 readPort = 1, speed = 9600;
        profile.LoadData(S("Port"), readPort);
        profile.LoadData(S("Speed"), speed);
        QCOMPARE(QPair(int(readPort), int(speed)), QPair(port, 9600));
        const Result<> saved = profile.SaveData(S("Port"), qint16(3));
        QVERIFY(!saved);
        QVERIFY(!saved.error().isEmpty() && saved.error().contains(reason));
        QCOMPARE(profile.BeginBatch().ok(), batchBegins);
        QVERIFY(!profile.SaveData(S("Port"), qint16(3)) || batchBegins);
        QVERIFY(!profile.CommitBatch());
        const QFileInfo after(profile.GetMyProfile());
        QCOMPARE(after.exists(), kind != S("no folder"));
        QCOMPARE(after.isFile(), kind == S("file"));
        if (kind == S("file"))
            QCOMPARE(ReadFile(profile.GetMyProfile()), content);
    }

    void readFallbackSeedsTheFirstWrite()
    {
        const QString seed = m_dir.filePath(S("beside.ini"));
        QVERIFY(WriteFile(seed, "; site defaults\n[OPTION]\nPort=3\n"));
        ProfileFile profile;
        profile.SetFullPath(m_dir.filePath(S("user/vireo/VIREO.ini")));
        profile.SetReadFallback(seed);
        profile.SetCreateFolder(true);
        profile.SetSection(S("OPTION"));
        qint16 port = 1;
        QVERIFY(profile.LoadData(S("Port"), port));
        QCOMPARE(port, qint16(3));
        QVERIFY(profile.SaveData(S("Speed"), qint16(2400)));
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
        ProfileFile profile;
        profile.SetCurrentPath(S("/opt/vireo"));
        if (name)
            QCOMPARE(ProfileFile::GetFileName(path, PathStyle(style)), expected);
        else
            QCOMPARE(profile.GetPathName(path, PathStyle(style)),
                     expected.isEmpty() ? S("/opt/vireo") : expected);
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profile_file.moc"
