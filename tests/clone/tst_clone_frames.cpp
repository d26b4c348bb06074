// SPDX-License-Identifier: GPL-3.0-or-later
// Frames, conversions, reply payload rules and the byte-boundary search of
// the clone link, row by row against the bytes on the wire.
#include "clone/clone_frames.h"

#include <QTest>

using namespace vireo;

class TestCloneFrames : public QObject {
    Q_OBJECT
private slots:
    void frames_data();
    void frames();
    void asciiHex_data();
    void asciiHex();
    void hexToBytes_data();
    void hexToBytes();
    void bytesToHex();
    void statusPayload_data();
    void statusPayload();
    void identityPayload_data();
    void identityPayload();
    void blockPayload_data();
    void blockPayload();
    void findHex_data();
    void findHex();
    void unitReplies_data();
    void unitReplies();
    void parseHostFrame_data();
    void parseHostFrame();
};

void TestCloneFrames::frames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray head = "FEFEEEEFE820240000";
    QTest::newRow("inquiry has twelve preamble bytes")
        << InquiryFrame() << QByteArray("FEFEFEFEFEFEFEFEFEFEFEFEEEEFE82024000000FD");
    QTest::newRow("access code 58206") << AccessFrame(58206) << head + "0235383230360D0AFD";
    QTest::newRow("short access code padded with 30") << AccessFrame(42) << head + "0230303034320D0AFD";
    QTest::newRow("long access code keeps last five digits")
        << AccessFrame(1234567) << head + "0233343536370D0AFD";
    QTest::newRow("read request") << ReadRequestFrame() << head + "0230320D0AFD";
    QTest::newRow("write request") << WriteRequestFrame() << head + "0230330D0AFD";
    QTest::newRow("block 0x1A2B") << BlockFrame(0x1A2B) << head + "02314132420D0AFD";
    QTest::newRow("block 0x0005") << BlockFrame(0x0005) << head + "02303030350D0AFD";
    QTest::newRow("block 0xFFFF") << BlockFrame(0xFFFF) << head + "02464646460D0AFD";
    QTest::newRow("block 0x0000") << BlockFrame(0x0000) << head + "02303030300D0AFD";
    QTest::newRow("end") << EndFrame() << head + "01FD";
    QTest::newRow("abort") << AbortFrame() << QByteArray("FE").repeated(10) + (head + "01FD").repeated(8);
}

void TestCloneFrames::frames()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, bytes);
    QCOMPARE(frame, bytes);
}

void TestCloneFrames::asciiHex_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("hex");
    QTest::newRow("word digits") << QByteArray("1A2B") << 4 << QByteArray("31413242");
    QTest::newRow("padded with zero characters") << QByteArray("5") << 4 << QByteArray("30303035");
    QTest::newRow("longer text keeps its last characters") << QByteArray("123456") << 4 << QByteArray("33343536");
    QTest::newRow("empty text is all zeros") << QByteArray() << 5 << QByteArray("3030303030");
}

void TestCloneFrames::asciiHex()
{
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    QFETCH(QByteArray, hex);
    QCOMPARE(AsciiHex(text, width), hex);
}

void TestCloneFrames::hexToBytes_data()
{
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << QByteArray("FEFEEE") << QByteArray("\xFE\xFE\xEE");
    QTest::newRow("space skipped, lone last digit dropped") << QByteArray("FE FEE") << QByteArray("\xFE\xFE");
    QTest::newRow("lower case digits") << QByteArray("0a0d") << QByteArray("\x0A\x0D");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestCloneFrames::hexToBytes()
{
    QFETCH(QByteArray, hex);
    QFETCH(QByteArray, bytes);
    QCOMPARE(HexToBytes(hex), bytes);
}

void TestCloneFrames::bytesToHex()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QByteArray hex = BytesToHex(all);
    QCOMPARE(hex.size(), 512);
    QCOMPARE(hex.left(6), QByteArray("000102"));
    QCOMPARE(hex.right(4), QByteArray("FEFF"));
    QCOMPARE(HexToBytes(hex), all);
    QByteArray text = "FE";
    AppendHex(text, "\x0A\xFD");
    QCOMPARE(text, QByteArray("FE0AFD"));
}

void TestCloneFrames::statusPayload_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("present");
    QTest::newRow("01 present") << QByteArray("01") << true;
    QTest::newRow("00 absent") << QByteArray("00") << false;
    QTest::newRow("02 absent") << QByteArray("02") << false;
    QTest::newRow("empty absent") << QByteArray() << false;
    QTest::newRow("two bytes, lowest bit set") << QByteArray("1003") << true;
    QTest::newRow("three bytes, lowest bit clear") << QByteArray("0101FE") << false;
}

void TestCloneFrames::statusPayload()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, present);
    QCOMPARE(UnitPresent(payload), present);
}

void TestCloneFrames::identityPayload_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("02 32 accepted") << QByteArray("0232") << true;
    QTest::newRow("02 33 refused") << QByteArray("0233") << false;
    QTest::newRow("02 32 00 refused") << QByteArray("023200") << false;
    QTest::newRow("empty refused") << QByteArray() << false;
}

void TestCloneFrames::identityPayload()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, accepted);
    QCOMPARE(IdentityAccepted(payload), accepted);
}

void TestCloneFrames::blockPayload_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("word"); // -1: no word
    QTest::newRow("000A") << QByteArray("30303041") << 0x000A;
    QTest::newRow("FFFF") << QByteArray("46464646") << 0xFFFF;
    QTest::newRow("lower case digits") << QByteArray("61626364") << 0xABCD;
    QTest::newRow("leading digits only") << QByteArray("31324734") << 0x12;
    QTest::newRow("no digits gives 0") << QByteArray("5A5A5A5A") << 0;
    QTest::newRow("three bytes is no word") << QByteArray("303030") << -1;
    QTest::newRow("five bytes is no word") << QByteArray("3030303030") << -1;
    QTest::newRow("empty is no word") << QByteArray() << -1;
}

void TestCloneFrames::blockPayload()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, word);
    const auto decoded = DecodeBlockPayload(payload);
    QCOMPARE(decoded.has_value(), word >= 0);
    if (decoded)
        QCOMPARE(int(*decoded), word);
}

void TestCloneFrames::findHex_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("found");
    QTest::newRow("at start") << QByteArray("FD00") << QByteArray("FD") << 0 << 0;
    QTest::newRow("later byte") << QByteArray("00FD") << QByteArray("FD") << 0 << 2;
    QTest::newRow("straddling two bytes is no match") << QByteArray("0FD0") << QByteArray("FD") << 0 << -1;
    QTest::newRow("skips the straddling one, finds the real one")
        << QByteArray("0FD0FD") << QByteArray("FD") << 0 << 4;
    QTest::newRow("from an even offset") << QByteArray("FDFD") << QByteArray("FD") << 1 << 2;
    QTest::newRow("not found") << QByteArray("0A0D") << QByteArray("FD") << 0 << -1;
    QTest::newRow("empty text") << QByteArray() << QByteArray("FD") << 0 << -1;
}

void TestCloneFrames::findHex()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, pattern);
    QFETCH(int, from);
    QFETCH(int, found);
    QCOMPARE(int(FindHex(text, pattern, from)), found);
}

void TestCloneFrames::unitReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("status present") << UnitStatusReply(1) << QByteArray("FEFEEFEEE82024000000" "01" "FD");
    QTest::newRow("identity") << UnitIdentityReply() << QByteArray("FEFEEFEEE820240000" "0232" "0A0DFD");
    QTest::newRow("block 0x1A2B") << UnitBlockReply(0x1A2B)
                                  << QByteArray("FEFEEFEEE82024000002" "31413242" "0A0DFD");
    QTest::newRow("empty data") << UnitEmptyReply() << QByteArray("FEFEEFEEE820240000020A0DFD");
}

void TestCloneFrames::unitReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, bytes);
    QCOMPARE(reply, bytes);
}

void TestCloneFrames::parseHostFrame_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("inquiry") << InquiryFrame() << int(HostFrame::Inquiry) << QByteArray();
    QTest::newRow("access") << AccessFrame(58206) << int(HostFrame::Access) << QByteArray("58206");
    QTest::newRow("read") << ReadRequestFrame() << int(HostFrame::ReadRequest) << QByteArray("02");
    QTest::newRow("write") << WriteRequestFrame() << int(HostFrame::WriteRequest) << QByteArray("03");
    QTest::newRow("block") << BlockFrame(0xBEEF) << int(HostFrame::Block) << QByteArray("BEEF");
    QTest::newRow("end") << EndFrame() << int(HostFrame::End) << QByteArray();
    QTest::newRow("unit reply is no program frame") << UnitEmptyReply() << int(HostFrame::Unknown) << QByteArray();
    QTest::newRow("no end mark") << QByteArray("FEFEEEEFE82024000000") << int(HostFrame::Unknown)
                                 << QByteArray();
}

void TestCloneFrames::parseHostFrame()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, kind);
    QFETCH(QByteArray, data);
    const HostFrame parsed = ParseHostFrame(HexToBytes(frame));
    QCOMPARE(int(parsed.kind), kind);
    QCOMPARE(parsed.data, data);
}

QTEST_GUILESS_MAIN(TestCloneFrames)
#include "tst_clone_frames.moc"
