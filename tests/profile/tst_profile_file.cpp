// SPDX-License-Identifier: GPL-3.0-or-later
// The profile file: rewrites of hand-edited text, reads, refusals, fallback, paths, devices.
#include "profile/profile_location.h"
#include "profile/serial_devices.h"
#include "profile_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

using namespace vireo;
using namespace vireo::test;

namespace {

struct Write {
    QByteArray before;
    QString section, key;
    QByteArray after; // with the value "v"
};
struct Read {
    QByteArray text; // of key "k"; null: no file
    ProfileValue start;
    bool read;
    ProfileValue expected, fallback; // fallback of no kind: no default given
};
struct Refusal {
    QString kind; // "file" with the content, "fifo", "no folder"
    QByteArray content;
    int port; // read from it
    bool batchBegins;
    QString reason;
};

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    void write_data()
    {
        QTest::addColumn<Write>("w");
        QTest::newRow("new file: CR LF, key verbatim")
            << Write{{}, S("STATUS"), S("Pos(Top)"), "[STATUS]\r\nPos(Top)=v\r\n"};
        QTest::newRow("replace keeps spelling, case and line end") << Write{
            "[option]\r\nPORT=3\r\nSpeed=1\r\n", S("OPTION"), S("Port"), "[option]\r\nPORT=v\r\nSpeed=1\r\n"};
        QTest::newRow("new key after the last key of its section") << Write{
            "[A]\r\nx=1\r\n\r\n;B\r\n[B]\r\n", S("a"), S("k"), "[A]\r\nx=1\r\nk=v\r\n\r\n;B\r\n[B]\r\n"};
        QTest::newRow("new section at the end, LF stays LF")
            << Write{"; mine\n[A]\nx=1\n", S("B"), S("k"), "; mine\n[A]\nx=1\n[B]\nk=v\n"};
        QTest::newRow("after a last line without line end")
            << Write{"[A]\nx=1", S("A"), S("k"), "[A]\nx=1\nk=v"};
        QTest::newRow("first of duplicate sections only")
            << Write{"[A]\nx=1\n[B]\n[A]\nk=2\n", S("A"), S("k"), "[A]\nx=1\nk=v\n[B]\n[A]\nk=2\n"};
        QTest::newRow("comment is no key") << Write{"[A]\n;k=1\n", S("A"), S("k"), "[A]\nk=v\n;k=1\n"};
        QTest::newRow("foreign lines and comment at end kept")
            << Write{"#t\r\n[O]\r\nz=9\r\n\r\n[A]\r\n k = 1 \r\n;end", S("A"), S("k"),
                     "#t\r\n[O]\r\nz=9\r\n\r\n[A]\r\n k =v\r\n;end"};
        QTest::newRow("UTF-8 mark kept, its section found")
            << Write{"\xEF\xBB\xBF[A]\r\nx=3\r\n", S("A"), S("k"), "\xEF\xBB\xBF[A]\r\nx=3\r\nk=v\r\n"};
    }
    void write()
    {
        QFETCH(Write, w);
        ProfileText text(w.before);
        text.SetValue(w.section, w.key, S("v"));
        QCOMPARE(text.Bytes(), w.after);
        QCOMPARE(text.Value(w.section.toLower(), w.key.toUpper()).value_or(S("-")), S("v"));
    }

    void entriesThatWouldBreakTheFileAreRefused_data()
    {
        QTest::addColumn<QStringList>("entry"); // section, key, value
        QTest::addColumn<bool>("writable");
        QTest::newRow("plain") << QStringList{S("A"), S("k"), S("v")} << true;
        QTest::newRow("line break in value") << QStringList{S("A"), S("k"), S("a\n[OPTION]")} << false;
        QTest::newRow("'=' in key") << QStringList{S("A"), S("a=b"), S("v")} << false;
        QTest::newRow("empty section") << QStringList{QString(), S("k"), S("v")} << false;
    }
    void entriesThatWouldBreakTheFileAreRefused()
    {
        QFETCH(QStringList, entry);
        QFETCH(bool, writable);
        QCOMPARE(IsWritableEntry(entry[0], entry[1], entry[2]), writable);
        ProfileFile profile = ProfileIn(m_dir, "A");
        profile.SetSection(entry[0]);
        QCOMPARE(profile.SaveData(entry[1], entry[2]).ok(), writable);
    }

    // The text forms SaveData writes are pinned where the options are saved.
    void textRead_data()
    {
        QTest::addColumn<Read>("r");
        const auto I = [](int v) { return ProfileValue(qint16(v)); };
        const ProfileValue yes(true), no(false), empty{QString()}, none;
        const QByteArray path = "/" + QByteArray(299, 'p');
        QTest::newRow("no file: the default given") << Read{{}, qint32(0), true, qint32(-25), qint32(-25)};
        QTest::newRow("empty value keeps the variable") << Read{"", I(3), false, I(3), none};
        QTest::newRow("default of another kind") << Read{"5", I(3), false, I(3), S("7")};
        QTest::newRow("blanks and one pair of quotes dropped")
            << Read{"  \"'a b'\"  ", empty, true, S("'a b'"), none};
        QTest::newRow("0 and blanks is false") << Read{"0  ", yes, true, no, none};
        QTest::newRow("-1 is true") << Read{"-1", no, true, yes, none};
        QTest::newRow("70000 overflows 16 bits") << Read{"70000", I(5), false, I(5), none};
        QTest::newRow("fraction rounds half to even") << Read{"2.5", I(5), true, I(2), none};
        QTest::newRow("text cut at a NUL") << Read{QByteArray("ab\0cd", 5), empty, true, S("ab"), none};
        QTest::newRow("long text read back as 254 characters")
            << Read{path, empty, true, QString::fromLatin1(path.left(254)), none};
    }
    void textRead()
    {
        QFETCH(Read, r);
        ProfileFile profile =
            ProfileIn(m_dir, "OPTION", r.text.isNull() ? r.text : "[OPTION]\r\nk=" + r.text + "\r\n");
        ProfileValue value = r.start;
        const bool given = !std::holds_alternative<std::monostate>(r.fallback);
        QCOMPARE(given ? profile.LoadData(S("k"), value, r.fallback) : profile.LoadData(S("k"), value),
                 r.read);
        QVERIFY(value == r.expected);
        QCOMPARE(QFile::exists(profile.FilePath()), !r.text.isNull()); // reading never creates the file
    }

    // A profile not read whole is used as far as read and never replaced; no missing folder is made.
    void neverReplaced_data()
    {
        QTest::addColumn<Refusal>("r");
        QTest::newRow("too large: read up to the limit") << Refusal{
            S("file"), "[OPTION]\r\nPort=2\r\n" + QByteArray(ProfileReadLimit, '\x01') + "\r\nSpeed=2400\r\n",
            2, false, S("larger than")};
        QTest::newRow("UTF-16 text") << Refusal{S("file"), QByteArray("\xFF\xFE[\0A\0]\0", 8), 1, false,
                                                S("UTF-16")};
        QTest::newRow("FIFO: never opened") << Refusal{S("fifo"), {}, 1, false, S("not a regular file")};
        QTest::newRow("missing folder") << Refusal{S("no folder"), {}, 1, true, QString()};
    }
    void neverReplaced()
    {
        QFETCH(Refusal, r);
        ProfileFile profile = ProfileIn(m_dir, "OPTION", r.content);
        if (r.kind == S("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(profile.FilePath()).constData(), 0600), 0);
        if (r.kind == S("no folder"))
            profile.SetCurrentPath(m_dir.filePath(S("no/such/folder")));
        qint16 port = 1, speed = 9600;
        profile.LoadData(S("Port"), port);
        profile.LoadData(S("Speed"), speed);
        QCOMPARE(QPoint(port, speed), QPoint(r.port, 9600));
        const Result<> saved = profile.SaveData(S("Port"), qint16(3));
        QVERIFY(!saved && !saved.error().isEmpty() && saved.error().contains(r.reason));
        QCOMPARE(profile.BeginBatch().ok(), r.batchBegins);
        QVERIFY(!profile.CommitBatch());
        const QFileInfo after(profile.FilePath());
        QCOMPARE(after.isFile() ? S("file") : after.exists() ? S("fifo") : S("no folder"), r.kind);
        if (r.kind == S("file"))
            QCOMPARE(ReadFile(profile.FilePath()), r.content);
    }

    void readFallbackSeedsTheFirstWrite()
    {
        const QString seed = m_dir.filePath(S("beside.ini"));
        QVERIFY(WriteFile(seed, "; site\n[OPTION]\nPort=3\n"));
        ProfileFile profile = ProfileIn(m_dir, "OPTION");
        profile.SetFullPath(m_dir.filePath(S("user/vireo/VIREO.ini")));
        profile.SetReadFallback(seed);
        profile.SetCreateFolder(true);
        qint16 port = 1;
        QVERIFY(profile.LoadData(S("Port"), port) && port == 3);
        QVERIFY(profile.SaveData(S("Speed"), qint16(2400)));
        QCOMPARE(ReadFile(profile.FilePath()), QByteArray("; site\n[OPTION]\nPort=3\nSpeed=2400\n"));
        QCOMPARE(ReadFile(seed), QByteArray("; site\n[OPTION]\nPort=3\n"));
    }

    // GetFileName and GetPathName, as "name|folder", in a program folder /opt/vireo.
    void splitPath_data()
    {
        QTest::addColumn<bool>("windows");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("windows path") << true << S("C:\\dir\\sub\\f.ini") << S("f.ini|C:\\dir\\sub");
        QTest::newRow("windows: slashes are no name separator")
            << true << S("C:/dir/f.ini") << S("/dir/f.ini|C:\\dir");
        QTest::newRow("posix: backslash and colon in a name")
            << false << S("/t/a:b\\c.ini") << S("a:b\\c.ini|/t");
        QTest::newRow("posix root keeps its slash") << false << S("/VIREO.ini") << S("VIREO.ini|/");
        QTest::newRow("bare name: the program folder")
            << false << S("VIREO.ini") << S("VIREO.ini|/opt/vireo");
    }
    void splitPath()
    {
        QFETCH(bool, windows);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        const PathStyle style = windows ? PathStyle::Windows : PathStyle::Posix;
        ProfileFile profile;
        profile.SetCurrentPath(S("/opt/vireo"));
        QCOMPARE(ProfileFile::GetFileName(path, style) + u'|' + profile.GetPathName(path, style), expected);
    }

    void location()
    {
        // The location rule itself: tests/base/tst_program_folders.cpp.
        const ProfileFile opened = OpenProfile(); // start-up's: beside the program if writable
        const QString programFolder = QCoreApplication::applicationDirPath();
        const QString folder = QFileInfo(programFolder).isWritable() ? programFolder : UserProfileFolder();
        QCOMPARE(opened.Section(), S("VIREO"));
        QCOMPARE(QDir::fromNativeSeparators(opened.FilePath()), folder + S("/VIREO.ini"));
    }

    void portsSectionMapsComNumbers()
    {
        ProfileFile profile =
            ProfileIn(m_dir, "OPTION", "[ports]\r\ncom1=/dev/serial/A\r\nCOM3=\r\nCOM4=/dev/ttyACM0\r\n");
        const auto usb1 = [](const QString &path) { return path == S("/dev/ttyUSB1"); };
        // Missing (COM2) and empty (COM3) keys give the default: the USB adapter when present, else ttyS.
        const auto devices = SerialDevicePaths(profile, usb1);
        QCOMPARE(QStringList(devices.begin(), devices.end()).join(u' '),
                 S("/dev/serial/A /dev/ttyUSB1 /dev/ttyS2 /dev/ttyACM0"));
        QCOMPARE(profile.Section(), S("OPTION")); // the caller's section stays
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profile_file.moc"
