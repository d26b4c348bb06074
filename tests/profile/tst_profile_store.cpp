// SPDX-License-Identifier: GPL-3.0-or-later
// The profile store: the behaviour of the operating system's profile functions
// that the program relies on, and what a rewrite keeps of a hand-edited file.
#include "profile/profile_store.h"
#include "profile_fixture.h"

using namespace vireo;
using namespace vireo::test;

class TestProfileStore : public QObject {
    Q_OBJECT

  private slots:
    void lookup_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // "<absent>" for none

        const QByteArray crlf = "[OPTION]\r\nPort=2\r\nSpeed=2400\r\n";
        QTest::newRow("CR LF lines") << crlf << S("OPTION") << S("Speed") << S("2400");
        QTest::newRow("bare LF lines")
            << QByteArray("[OPTION]\nPort=2\nSpeed=2400\n") << S("OPTION") << S("Speed") << S("2400");
        QTest::newRow("section and key in other case") << crlf << S("option") << S("PORT") << S("2");
        QTest::newRow("first of duplicate keys")
            << QByteArray("[A]\nk=first\nk=second\n") << S("A") << S("k") << S("first");
        QTest::newRow("first of duplicate sections")
            << QByteArray("[A]\nx=1\n[B]\n[A]\nk=second\n") << S("A") << S("k") << S("<absent>");
        QTest::newRow("blanks around key and value")
            << QByteArray("[A]\n  k  =  v w  \n") << S("A") << S("k") << S("v w");
        QTest::newRow("key in another section")
            << QByteArray("[A]\nj=1\n[B]\nk=2\n") << S("A") << S("k") << S("<absent>");
        QTest::newRow("comment is no key") << QByteArray("[A]\n;k=1\n") << S("A") << S("k") << S("<absent>");
        QTest::newRow("last line without line end") << QByteArray("[A]\nk=v") << S("A") << S("k") << S("v");
        QTest::newRow("UTF-8 mark before the first section")
            << QByteArray("\xEF\xBB\xBF[OPTION]\r\nPort=3\r\n") << S("OPTION") << S("Port") << S("3");
    }
    void lookup()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const std::optional<QString> value = ProfileText(file).Value(section, key);
        QCOMPARE(value.value_or(S("<absent>")), expected);
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file: CR LF, key verbatim")
            << QByteArray() << S("STATUS") << S("WindowPosition(Top)") << S("-15")
            << QByteArray("[STATUS]\r\nWindowPosition(Top)=-15\r\n");
        QTest::newRow("replace keeps spelling and line end")
            << QByteArray("[option]\r\nPORT=3\r\nSpeed=9600\r\n") << S("OPTION") << S("Port") << S("1")
            << QByteArray("[option]\r\nPORT=1\r\nSpeed=9600\r\n");
        QTest::newRow("new key after the last key of its section")
            << QByteArray("[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\ny=2\r\n") << S("a") << S("k") << S("v")
            << QByteArray("[A]\r\nx=1\r\nk=v\r\n\r\n; about B\r\n[B]\r\ny=2\r\n");
        QTest::newRow("new section at the end, LF file stays LF")
            << QByteArray("; mine\n[A]\nx=1\n") << S("B") << S("k") << S("v")
            << QByteArray("; mine\n[A]\nx=1\n[B]\nk=v\n");
        QTest::newRow("new key after a last line without line end")
            << QByteArray("[A]\nx=1") << S("A") << S("k") << S("v") << QByteArray("[A]\nx=1\nk=v");
        QTest::newRow("first of duplicate keys replaced")
            << QByteArray("[A]\nk=1\nk=2\n") << S("A") << S("k") << S("3") << QByteArray("[A]\nk=3\nk=2\n");
        QTest::newRow("foreign lines and comment at end kept")
            << QByteArray("#top\r\n[Other]\r\nz=9\r\n\r\n\r\n[A]\r\n k = 1 \r\n;end") << S("A") << S("k")
            << S("2") << QByteArray("#top\r\n[Other]\r\nz=9\r\n\r\n\r\n[A]\r\n k =2\r\n;end");
        QTest::newRow("UTF-8 mark kept, its section found")
            << QByteArray("\xEF\xBB\xBF[OPTION]\r\nPort=3\r\n") << S("OPTION") << S("Speed") << S("9600")
            << QByteArray("\xEF\xBB\xBF[OPTION]\r\nPort=3\r\nSpeed=9600\r\n");
        QTest::newRow("nothing but a UTF-8 mark")
            << QByteArray("\xEF\xBB\xBF") << S("A") << S("k") << S("v") << QByteArray("\xEF\xBB\xBF[A]\r\nk=v\r\n");
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        ProfileText text(before);
        text.SetValue(section, key, value);
        QCOMPARE(text.Bytes(), after);
        QCOMPARE(text.Value(section, key).value_or(S("<absent>")), value);
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

    void endlessDeviceIsBounded()
    {
        if (!QFile::exists(S("/dev/zero")))
            QSKIP("no /dev/zero here");
        const ProfileFileRead read = ReadProfileFile(S("/dev/zero"));
        QCOMPARE(read.status, ProfileReadStatus::TooLarge);
        QVERIFY(read.text.Bytes().isEmpty()); // no complete line within the limit
    }
};

QTEST_GUILESS_MAIN(TestProfileStore)
#include "tst_profile_store.moc"
