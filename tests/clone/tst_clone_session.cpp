// SPDX-License-Identifier: GPL-3.0-or-later
// The clone session tick by tick, with a scripted port, a scripted unit and a
// clock moved by hand: every result, the reply matching, the time-outs, the
// end of a run and ports that misbehave.
#include "clone/fake_serial_port.h"

#include <QRandomGenerator>
#include <QTest>

using namespace vireo;
using namespace vireo::test;

namespace {

/** A session on a fake port and a manual clock, driven by hand. */
struct Rig {
    UnitModel model;
    FakeSerialPort port;
    ManualClock clock;
    CloneSession session{model, port, clock};
    QList<CloneResult> results;
    QList<int> progress;

    Rig()
    {
        session.SetAutoDrive(false);
        QObject::connect(&session, &CloneSession::finished, &session, [this](CloneResult r) { results.append(r); });
        QObject::connect(&session, &CloneSession::progress, &session, [this](int v) { progress.append(v); });
        for (int i = 0; i < 99; ++i)
            model.UnitImage[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0xA000 + i);
    }
    bool Start(CloneMode mode, qint32 speed = 9600)
    {
        return session.StartClone({mode, QStringLiteral("/dev/fake"), speed, 58206});
    }
    void Run() { TickToEnd(session, clock); }
    /// Feeds the unit's bytes (hexadecimal text), then ticks once.
    void Hear(const QByteArray &hex)
    {
        port.FeedHex(hex);
        session.CloneTick();
    }
    int Abort() const { return port.CountWritten(AbortFrame()); }
    bool LastSent(const QByteArray &hex) const
    {
        return port.written.value(port.written.size() - 1) == HexToBytes(hex);
    }
};

using Results = QList<CloneResult>;

} // namespace

class TestCloneSession : public QObject {
    Q_OBJECT
  private slots:
    void results_data();
    void results();
    void replyMatching_data();
    void replyMatching();
    void timeoutBoundary_data();
    void timeoutBoundary();
    void timeoutCountsFromSendOrStoredBlock();
    void drainIsBounded_data();
    void drainIsBounded();
    void cancel();
    void failingLines_data();
    void failingLines();
    void portLostWhileRefusingTheFirstFrame();
};

// Every result a run can end with, from a scripted unit or port.
void TestCloneSession::results_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<UnitScript>("script");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("refuseWrite");
    QTest::addColumn<int>("shortBy");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("abortSent");

    const int R = int(CloneMode::Read), W = int(CloneMode::Write);
    UnitScript s;
    QTest::newRow("read complete") << R << s << true << -1 << 0 << 10 << false;
    QTest::newRow("write complete") << W << s << true << -1 << 0 << 11 << false;
    QTest::newRow("port does not open") << R << s << false << -1 << 0 << 0 << false;
    QTest::newRow("first frame refused") << R << s << true << 0 << 0 << 0 << true;
    QTest::newRow("read request refused") << R << s << true << 2 << 0 << 2 << true;
    QTest::newRow("read request one byte short") << R << s << true << 2 << 1 << 2 << true;
    QTest::newRow("access code refused counts as silence after it") << R << s << true << 1 << 0 << 7 << true;
    QTest::newRow("end frame refused after all data") << R << s << true << 3 << 0 << 10 << false;
    QTest::newRow("status 02: no unit") << W << UnitScript{.status = 0x02} << true << -1 << 0 << 5 << true;
    QTest::newRow("identity 02 33: unknown unit")
        << R << UnitScript{.identity = "0233"} << true << -1 << 0 << 6 << true;
    QTest::newRow("98 blocks then empty") << R << UnitScript{.blocks = 98} << true << -1 << 0 << 9 << false;
    QTest::newRow("a hundredth block")
        << R << UnitScript{.blocks = 100, .endWithEmpty = false} << true << -1 << 0 << 8 << true;
    QTest::newRow("payload of three bytes")
        << R << UnitScript{.oddBlock = 5, .oddPayload = "303030"} << true << -1 << 0 << 4 << true;
    QTest::newRow("no data after read request")
        << R << UnitScript{.blocks = 0, .endWithEmpty = false} << true << -1 << 0 << 3 << true;
    QTest::newRow("block not acknowledged")
        << W << UnitScript{.silentAfterBlock = 10} << true << -1 << 0 << 3 << true;
    QTest::newRow("last block acknowledged once")
        << W << UnitScript{.finalAcks = 1} << true << -1 << 0 << 3 << true;
    QTest::newRow("last acknowledgement with payload")
        << W << UnitScript{.finalAckPayload = "30"} << true << -1 << 0 << 3 << true;
    QTest::newRow("write request answer taken as block 0's")
        << W << UnitScript{.answerWriteRequest = true} << true << -1 << 0 << 11 << false;
    QTest::newRow("cable echo, write") << W << UnitScript{.echo = true} << true << -1 << 0 << 11 << false;
}

void TestCloneSession::results()
{
    QFETCH(int, mode);
    QFETCH(UnitScript, script);
    QFETCH(bool, opens);
    QFETCH(int, refuseWrite);
    QFETCH(int, shortBy);
    QFETCH(int, result);
    QFETCH(bool, abortSent);

    Rig rig;
    FakeUnit unit(rig.port, script);
    rig.port.openSucceeds = opens;
    rig.port.refuseWriteNo = refuseWrite;
    rig.port.shortWriteBy = shortBy;
    const UnitWords image = rig.model.UnitImage;

    rig.Start(CloneMode(mode));
    rig.Run();
    rig.clock.Advance(3.0); // a tick after the end does nothing
    rig.session.CloneTick();

    QCOMPARE(rig.results, Results{CloneResult(result)});
    QVERIFY(!rig.port.IsOpen());
    QCOMPARE(rig.Abort(), abortSent ? 1 : 0);
    QCOMPARE(rig.model.UnitImage, image); // the session never touches the image
    if (!opens)
        QCOMPARE(rig.port.writeAttempts, 0);
    if (result == 0)
        QVERIFY(!rig.session.PortErrorText().isEmpty());
    if (result == 10) {
        QCOMPARE(rig.model.LoadBuffer, unit.memory);
        QCOMPARE(unit.accessDigits, QByteArray("58206"));
    }
    if (result == 11) {
        QCOMPARE(unit.received, QList<std::uint16_t>(image.begin(), image.end()));
        QCOMPARE(unit.heard.last(), HostFrame::End);
    }
    if (result >= 10)
        QCOMPARE(rig.progress.last(), 100);
}

// Received bytes, one chunk a tick, and the frame the session sent last.
void TestCloneSession::replyMatching_data()
{
    QTest::addColumn<int>("refuseWrite");
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArray>("lastSent");
    QTest::addColumn<int>("stored"); // blocks taken
    const QByteArray status = UnitStatusReply(0x01), identity = UnitIdentityReply();
    const QByteArray block = UnitBlockReply(0x0103);
    const QByteArray access = AccessFrame(58206), read = ReadRequestFrame();
    QTest::newRow("head and tail in different ticks")
        << -1 << QByteArrayList{status.chopped(4), status.right(4)} << access << 0;
    QTest::newRow("bytes before the head")
        << -1 << QByteArrayList{InquiryFrame() + "00FEFE37FEFE" + status} << access << 0;
    // The status head appears only between the digits of bytes: not a reply.
    QTest::newRow("head straddling bytes")
        << -1 << QByteArrayList{"0FEEFEEE8202400000001FD0"} << InquiryFrame() << 0;
    // FD inside the status bytes 0F D1 is no tail; the real FD ends the reply (lowest bit set).
    QTest::newRow("tail straddling bytes")
        << -1 << QByteArrayList{"FEFEEFEEE820240000000FD1FD"} << access << 0;
    // A reply is not looked at while the frame counts as unsent; its echo proves it went out.
    QTest::newRow("refused frame, reply without echo")
        << 1 << QByteArrayList{status, identity} << InquiryFrame() << 0;
    QTest::newRow("refused frame, echo then reply")
        << 1 << QByteArrayList{status, identity, access + identity} << read << 0;
    const QByteArray three = UnitBlockReply(0x0100) + UnitBlockReply(0x0101) + UnitBlockReply(0x0102);
    QTest::newRow("several blocks a tick, one split in three")
        << -1 << QByteArrayList{status, identity, three, block.left(14), block.mid(14, 12), block.mid(26)}
        << read << 4;
    QTest::newRow("a block not yet complete")
        << -1 << QByteArrayList{status, identity, three, block.left(14), block.mid(14, 12)} << read << 3;
}

void TestCloneSession::replyMatching()
{
    QFETCH(int, refuseWrite);
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArray, lastSent);
    QFETCH(int, stored);
    Rig rig;
    rig.port.refuseWriteNo = refuseWrite;
    QVERIFY(rig.Start(CloneMode::Read));
    for (const QByteArray &chunk : chunks)
        rig.Hear(chunk);
    QVERIFY(rig.LastSent(lastSent));
    QCOMPARE(rig.progress.size(), stored);
    for (int i = 0; i < stored; ++i)
        QCOMPARE(rig.model.LoadBuffer[static_cast<std::size_t>(i)], 0x0100 + i);
    QVERIFY(rig.results.isEmpty());
}

void TestCloneSession::timeoutBoundary_data()
{
    QTest::addColumn<bool>("statusAnswered");
    QTest::addColumn<int>("result");
    QTest::newRow("awaiting status") << false << 3;
    QTest::newRow("awaiting identity") << true << 7;
}

void TestCloneSession::timeoutBoundary()
{
    QFETCH(bool, statusAnswered);
    QFETCH(int, result);
    Rig rig;
    rig.clock.Set(86399.5); // the clock's value never matters, only differences
    QVERIFY(rig.Start(CloneMode::Read));
    if (statusAnswered)
        rig.Hear(UnitStatusReply(0x01));
    const double sent = rig.clock.Now();
    rig.clock.Set(sent + 2.0);
    rig.session.CloneTick();
    QVERIFY(rig.session.CloneActive());
    rig.clock.Set(sent + 2.0005);
    rig.session.CloneTick();
    QCOMPARE(rig.results, Results{CloneResult(result)});
}

// Arriving bytes hold the time-out off, but it counts from the send, or from
// the last stored block while data comes in.
void TestCloneSession::timeoutCountsFromSendOrStoredBlock()
{
    Rig rig;
    QVERIFY(rig.Start(CloneMode::Read));
    for (int i = 0; i < 5; ++i) {
        rig.clock.Advance(0.5);
        rig.Hear("00");
        QVERIFY(rig.session.CloneActive());
    }
    rig.clock.Advance(0.1);
    rig.session.CloneTick();
    QCOMPARE(rig.results, Results{CloneResult::NoAnswer});

    Rig read;
    QVERIFY(read.Start(CloneMode::Read));
    read.Hear(UnitStatusReply(0x01));
    read.Hear(UnitIdentityReply());
    for (int i = 0; i < 3; ++i) {
        read.clock.Advance(1.9);
        read.session.CloneTick(); // silent, but within 2.0 s of the last stored block
        read.Hear(UnitBlockReply(static_cast<std::uint16_t>(i)));
    }
    QVERIFY(read.session.CloneActive());
    QCOMPARE(read.model.LoadBuffer[2], 2);
}

void TestCloneSession::drainIsBounded_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("drains");
    QTest::addColumn<int>("boundMs");
    // The abort frame's wire time, plus half a second, at most two seconds.
    QTest::newRow("9600 bit/s") << 9600 << true << 603;
    QTest::newRow("300 bit/s is capped") << 300 << true << 2000;
    QTest::newRow("adapter never drains") << 9600 << false << 603;
}

void TestCloneSession::drainIsBounded()
{
    QFETCH(int, speed);
    QFETCH(bool, drains);
    QFETCH(int, boundMs);
    Rig rig;
    rig.port.drainSucceeds = drains;
    QVERIFY(rig.Start(CloneMode::Write, speed));
    rig.session.Cancel();
    QCOMPARE(rig.port.drainWaits, QList<int>{boundMs});
    QVERIFY(!rig.port.IsOpen());
    QCOMPARE(rig.results, Results{CloneResult::Cancelled});
}

void TestCloneSession::cancel()
{
    Rig rig;
    FakeUnit unit(rig.port);
    rig.session.Cancel(); // idle: nothing happens
    QVERIFY(rig.results.isEmpty());
    QVERIFY(rig.Start(CloneMode::Read));
    rig.session.CloneTick();
    rig.session.CloneTick();
    rig.session.Cancel();
    QCOMPARE(rig.results, Results{CloneResult::Cancelled});
    QCOMPARE(rig.Abort(), 1);
    QVERIFY(!rig.port.IsOpen());
    QVERIFY(!IsCloneError(CloneResult::Cancelled));
    // A new run can start afterwards.
    QVERIFY(rig.Start(CloneMode::Read));
    rig.Run();
    QCOMPARE(rig.results.last(), CloneResult::ReadComplete);
}

// Lines and ports that fail mid-run end it cleanly, never hang; the abort is
// sent only while the port is still there to take it.
void TestCloneSession::failingLines_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("lostAtWrite"); // "lost": the port goes while this write is handed over
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("abortSent");
    const int R = int(CloneMode::Read), W = int(CloneMode::Write);
    QTest::newRow("endless bytes overflow the buffer") << R << "babble" << -1 << 1 << true;
    QTest::newRow("overflow reported: no abort on the closed port") << R << "overflow" << -1 << 1 << false;
    QTest::newRow("read fails") << R << "readFails" << -1 << 3 << true;
    QTest::newRow("garbage after every frame") << R << "garbage" << -1 << 3 << true;
    QTest::newRow("every reply one byte short") << R << "short" << -1 << 3 << true;
    QTest::newRow("lost awaiting status") << R << "lost" << 0 << 3 << false;
    QTest::newRow("lost writing blocks") << W << "lost" << 9 << 3 << false;
    QTest::newRow("lost after the end frame: the read stands") << R << "lost" << 3 << 10 << false;
}

void TestCloneSession::failingLines()
{
    QFETCH(int, mode);
    QFETCH(QString, failure);
    QFETCH(int, lostAtWrite);
    QFETCH(int, result);
    QFETCH(bool, abortSent);
    Rig rig;
    FakeUnit unit(rig.port);
    const auto answer = rig.port.onWrite;
    QRandomGenerator random(42);
    rig.port.onWrite = [&](const QByteArray &bytes) {
        if (failure == QLatin1String("garbage")) {
            QByteArray noise(40, '\0');
            for (char &c : noise)
                c = static_cast<char>(random.bounded(256));
            rig.port.Feed(noise);
        } else if (failure != QLatin1String("babble")) {
            answer(bytes);
        }
        if (rig.port.written.size() == lostAtWrite + 1)
            rig.port.Unplug();
    };
    rig.port.readFails = failure == QLatin1String("readFails");
    rig.port.chopEachFeed = failure == QLatin1String("short") ? 1 : 0;

    rig.Start(CloneMode(mode));
    if (failure == QLatin1String("overflow")) {
        rig.session.CloneTick();
        rig.port.RaiseOverflow();
    }
    TickToEnd(rig.session, rig.clock, 0.01, [&] {
        if (failure == QLatin1String("babble"))
            rig.port.Feed(QByteArray(200, '5'));
    });
    QCOMPARE(rig.results, Results{CloneResult(result)});
    QVERIFY(!rig.port.IsOpen());
    QCOMPARE(rig.Abort(), abortSent ? 1 : 0);
    if (lostAtWrite >= 0) {
        QCOMPARE(rig.port.written.size(), lostAtWrite + 1); // nothing after the loss
        QVERIFY(rig.session.PortErrorText().contains(QLatin1String("device gone")));
    }
}

// A port that fails for good while refusing the inquiry cannot be used at all:
// the run ends as one that could not set up its port, not as a time-out.
void TestCloneSession::portLostWhileRefusingTheFirstFrame()
{
    Rig rig;
    rig.port.refuseWriteNo = 0;
    rig.port.onRefuse = [&] { rig.port.Unplug(); };
    QVERIFY(!rig.Start(CloneMode::Read));
    QCOMPARE(rig.results, Results{CloneResult::PortFailed});
    QVERIFY(rig.session.PortErrorText().contains(QLatin1String("device gone")));
    QVERIFY(!rig.session.CloneActive());
}

QTEST_GUILESS_MAIN(TestCloneSession)
#include "tst_clone_session.moc"
