// SPDX-License-Identifier: GPL-3.0-or-later
// The profile store: the behaviour of the operating system's profile functions
// that the program relies on, what a rewrite keeps of a hand-edited file, and
// which files are not read.
#include "profile/profile_store.h"
#include "profile_fixture.h"

#include <sys/stat.h>

using namespace vireo;
using namespace vireo::test;

class TestProfileStore : public QObject {
    Q_OBJECT

  private slots:
    // Reading only; the rows of write() read back what they wrote as well.
    void lookup_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // of key "k" in section "A"; "<absent>" for none
        QTest::newRow("bare LF lines") << QByteArray("[A]\nj=2\nk=2400\n") << S("2400");
        QTest::newRow("first of duplicate sections")
            << QByteArray("[A]\nx=1\n[B]\n[A]\nk=2\n") << S("<absent>");
        QTest::newRow("blanks around key and value") << QByteArray("[A]\r\n  k  =  v w  \r\n") << S("v w");
        QTest::newRow("one pair of enclosing quotes dropped") << QByteArray("[A]\nk=\"'v'\"\n") << S("'v'");
        QTest::newRow("key in another section") << QByteArray("[A]\nj=1\n[B]\nk=2\n") << S("<absent>");
        QTest::newRow("comment is no key") << QByteArray("[A]\n;k=1\n") << S("<absent>");
    }
    void lookup()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QCOMPARE(ProfileText(file).Value(S("A"), S("k")).value_or(S("<absent>")), expected);
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after"); // with the value "v"
        QTest::newRow("new file: CR LF, key verbatim")
            << QByteArray() << S("STATUS") << S("WindowPosition(Top)")
            << QByteArray("[STATUS]\r\nWindowPosition(Top)=v\r\n");
        QTest::newRow("replace keeps spelling, case and line end")
            << QByteArray("[option]\r\nPORT=3\r\nSpeed=9600\r\n") << S("OPTION") << S("Port")
            << QByteArray("[option]\r\nPORT=v\r\nSpeed=9600\r\n");
        QTest::newRow("new key after the last key of its section")
            << QByteArray("[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\ny=2\r\n") << S("a") << S("k")
            << QByteArray("[A]\r\nx=1\r\nk=v\r\n\r\n; about B\r\n[B]\r\ny=2\r\n");
        QTest::newRow("new section at the end, LF file stays LF")
            << QByteArray("; mine\n[A]\nx=1\n") << S("B") << S("k")
            << QByteArray("; mine\n[A]\nx=1\n[B]\nk=v\n");
        QTest::newRow("new key after a last line without line end")
            << QByteArray("[A]\nx=1") << S("A") << S("k") << QByteArray("[A]\nx=1\nk=v");
        QTest::newRow("first of duplicate keys replaced")
            << QByteArray("[A]\nk=1\nk=2\n") << S("A") << S("k") << QByteArray("[A]\nk=v\nk=2\n");
        QTest::newRow("foreign lines and comment at end kept")
            << QByteArray("#top\r\n[Other]\r\nz=9\r\n\r\n\r\n[A]\r\n k = 1 \r\n;end") << S("A") << S("k")
            << QByteArray("#top\r\n[Other]\r\nz=9\r\n\r\n\r\n[A]\r\n k =v\r\n;end");
        QTest::newRow("UTF-8 mark kept, its section found")
            << QByteArray("\xEF\xBB\xBF[OPTION]\r\nPort=3\r\n") << S("OPTION") << S("Speed")
            << QByteArray("\xEF\xBB\xBF[OPTION]\r\nPort=3\r\nSpeed=v\r\n");
        QTest::newRow("nothing but a UTF-8 mark")
            << QByteArray("\xEF\xBB\xBF") << S("A") << S("k") << QByteArray("\xEF\xBB\xBF[A]\r\nk=v\r\n");
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        ProfileText text(before);
        text.SetValue(section, key, S("v"));
        QCOMPARE(text.Bytes(), after);
        QCOMPARE(text.Value(section.toLower(), key.toUpper()).value_or(S("<absent>")), S("v"));
    }

    void entriesThatWouldBreakTheFileAreRefused_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("writable");
        QTest::newRow("plain") << S("A") << S("k") << S("v") << true;
        QTest::newRow("line break in value") << S("A") << S("k") << S("a\n[OPTION]") << false;
        QTest::newRow("'=' in key") << S("A") << S("a=b") << S("v") << false;
        QTest::newRow("key like a header") << S("A") << S("[B]") << S("v") << false;
        QTest::newRow("empty section") << QString() << S("k") << S("v") << false;
    }
    void entriesThatWouldBreakTheFileAreRefused()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, writable);
        QCOMPARE(IsWritableEntry(section, key, value), writable);
    }

    // Files that are not read at all, with the reason given. Opening a FIFO
    // would wait for a writer, a device might never end.
    void notRead_data()
    {
        QTest::addColumn<QString>("path"); // "fifo": a FIFO made for the test
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("UTF-16 text") << QString() << QByteArray("\xFF\xFE[\0A\0]\0", 8) << S("UTF-16");
        QTest::newRow("FIFO") << S("fifo") << QByteArray() << S("not a regular file");
        QTest::newRow("endless device") << S("/dev/zero") << QByteArray() << S("not a regular file");
    }
    void notRead()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        if (path.isEmpty())
            QVERIFY(WriteFile(path = dir.filePath(S("p.ini")), content));
        if (path == S("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(path = dir.filePath(S("fifo"))).constData(), 0600), 0);
        if (!QFile::exists(path))
            QSKIP("no such device here");
        const ProfileFileRead read = ReadProfileFile(path);
        QCOMPARE(read.status, ProfileReadStatus::Unreadable);
        QVERIFY(read.reason.contains(reason));
    }
};

QTEST_GUILESS_MAIN(TestProfileStore)
#include "tst_profile_store.moc"
