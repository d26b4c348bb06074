// SPDX-License-Identifier: GPL-3.0-or-later
// Frames and reply payload rules of the clone link against the bytes on the wire.
#include "clone/clone_frames.h"

#include <QTest>

using namespace vireo;

class TestCloneFrames : public QObject {
    Q_OBJECT
  private slots:
    // Every frame against its bytes on the wire, and how the unit reads the program's frames.
    void frames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("data");
        const QByteArray head = "FEFEEEEFE820240000";
        const QByteArray unit = "FEFEEFEEE820240000";
        const auto row = [](const char *name, const QByteArray &frame, const QByteArray &bytes,
                            int kind = HostFrame::Unknown, const QByteArray &data = {}) {
            QTest::newRow(name) << frame << bytes << kind << data;
        };
        row("inquiry has twelve preamble bytes", InquiryFrame(),
            QByteArray("FE").repeated(12) + "EEEFE82024000000FD", HostFrame::Inquiry);
        row("access code 58206", AccessFrame(58206), head + "0235383230360D0AFD", HostFrame::Access, "58206");
        row("short access code padded with 30", AccessFrame(42), head + "0230303034320D0AFD",
            HostFrame::Access, "00042");
        row("read request", ReadRequestFrame(), head + "0230320D0AFD", HostFrame::ReadRequest, "02");
        row("write request", WriteRequestFrame(), head + "0230330D0AFD", HostFrame::WriteRequest, "03");
        row("block 0x1A2B", BlockFrame(0x1A2B), head + "02314132420D0AFD", HostFrame::Block, "1A2B");
        row("end", EndFrame(), head + "01FD", HostFrame::End);
        // Several frames: not one the unit reads.
        row("abort", AbortFrame(), QByteArray("FE").repeated(10) + (head + "01FD").repeated(8));
        row("unit: status present", UnitStatusReply(1), unit + "0001FD");
        row("unit: identity", UnitIdentityReply(), unit + "02320A0DFD");
        row("unit: block 0x1A2B", UnitBlockReply(0x1A2B), unit + "02314132420A0DFD");
        row("unit: empty data", UnitEmptyReply(), unit + "020A0DFD");
        row("no end mark", head + "00", head + "00");
    }

    void frames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(QByteArray, data);
        QCOMPARE(frame, bytes);
        const HostFrame parsed = ParseHostFrame(HexToBytes(frame));
        QCOMPARE(int(parsed.kind), kind);
        QCOMPARE(parsed.data, data);
    }

    // Status and identity rules (1 or 0) and the word in a block reply (-1: none).
    void payloads_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("read");
        QTest::newRow("status 01 present") << "status" << QByteArray("01") << 1;
        QTest::newRow("status 02 absent") << "status" << QByteArray("02") << 0;
        QTest::newRow("two status bytes, lowest bit set") << "status" << QByteArray("1003") << 1;
        QTest::newRow("identity 02 32 accepted") << "identity" << QByteArray("0232") << 1;
        QTest::newRow("identity 02 33 refused") << "identity" << QByteArray("0233") << 0;
        QTest::newRow("identity 02 32 00 refused") << "identity" << QByteArray("023200") << 0;
        QTest::newRow("block 000A") << "block" << QByteArray("30303041") << 0x000A;
        QTest::newRow("block in lower case digits") << "block" << QByteArray("61626364") << 0xABCD;
        QTest::newRow("block of leading digits only") << "block" << QByteArray("31324734") << 0x12;
        QTest::newRow("three bytes are no block") << "block" << QByteArray("303030") << -1;
    }
    void payloads()
    {
        QFETCH(QString, reply);
        QFETCH(QByteArray, payload);
        QFETCH(int, read);
        const auto word = DecodeBlockPayload(payload);
        QCOMPARE(reply == QLatin1String("block")      ? (word ? int(*word) : -1)
                 : reply == QLatin1String("identity") ? int(IdentityAccepted(payload))
                                                      : int(UnitPresent(payload)),
                 read);
    }

    // The fewest bytes the data tail 0A 0D FD still lacks at the end of received text.
    void bytesMissing_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("missing");
        QTest::newRow("two of three at the end") << QByteArray("300A0D") << 0 << 1;
        QTest::newRow("an earlier beginning does not count") << QByteArray("0A0D300A") << 0 << 2;
        QTest::newRow("only before from") << QByteArray("0A0DFD0A") << 8 << 3;
        QTest::newRow("no match between the digits of a byte") << QByteArray("00A0") << 0 << 3;
    }
    void bytesMissing()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, from);
        QFETCH(int, missing);
        QCOMPARE(HexBytesMissing(text, DataReplyTail(), from), qsizetype(missing));
    }
};

QTEST_GUILESS_MAIN(TestCloneFrames)
#include "tst_clone_frames.moc"
