// SPDX-License-Identifier: GPL-3.0-or-later
// The clone session tick by tick, with a scripted port, a scripted unit and a
// clock moved by hand: every result, the reply matching, the time-outs, the
// read and write sequences, the end of a run and ports that misbehave.
#include "clone/fake_serial_port.h"

#include "clone/clone_frames.h"
#include "clone/clone_session.h"
#include "clone/clone_trace.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
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
        QObject::connect(&session, &CloneSession::finished, [this](CloneResult r) { results.append(r); });
        QObject::connect(&session, &CloneSession::progress, [this](int v) { progress.append(v); });
        for (int i = 0; i < 99; ++i)
            model.UnitImage[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0xA000 + i);
    }
    bool Start(CloneMode mode, qint32 speed = 9600)
    {
        return session.StartClone({mode, QStringLiteral("/dev/fake"), speed, 58206});
    }
    /// Ticks, `step` seconds apart, until the run ends (bounded).
    void Run(double step = 0.01, int maxTicks = 100000)
    {
        for (int i = 0; i < maxTicks && session.CloneActive(); ++i) {
            session.CloneTick();
            clock.Advance(step);
        }
    }
    void Tick()
    {
        session.CloneTick();
    }
    int Abort() const { return port.CountWritten(AbortFrame()); }
};

} // namespace

class TestCloneSession : public QObject {
    Q_OBJECT
private slots:
    void results_data();
    void results();
    void completeRead();
    void completeWrite();
    void headAndTailInDifferentTicks();
    void bytesBeforeTheHead();
    void timeoutBoundary_data();
    void timeoutBoundary();
    void bytesKeepArriving();
    void readTimeoutRestartsWithEachBlock();
    void severalBlocksPerTickAndSplitBlock();
    void lastBlockNeedsTwoAcknowledgements();
    void firstBlockFollowsWriteRequestWithoutReply();
    void echoOfRefusedFrame();
    void byteBoundarySearch_data();
    void byteBoundarySearch();
    void babblingLineEndsAsOverflow();
    void refusedWriteIsNotSent_data();
    void refusedWriteIsNotSent();
    void drainIsBounded_data();
    void drainIsBounded();
    void overflowEventClosesFirst();
    void lostPort_data();
    void lostPort();
    void cancel();
    void idleTickOnlyEmptiesInput();
    void misbehavingPorts_data();
    void misbehavingPorts();
    void trace();
    void runToEndWithoutWindow_data();
    void runToEndWithoutWindow();
};

// Every result a run can end with, from a scripted unit or port.
void TestCloneSession::results_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<UnitScript>("script");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("refuseWrite");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("abortSent");

    const int R = int(CloneMode::Read), W = int(CloneMode::Write);
    UnitScript s;
    QTest::newRow("read complete") << R << s << true << -1 << 10 << false;
    QTest::newRow("write complete") << W << s << true << -1 << 11 << false;
    QTest::newRow("port does not open") << R << s << false << -1 << 0 << false;
    QTest::newRow("first frame refused") << R << s << true << 0 << 0 << true;
    QTest::newRow("read request refused") << R << s << true << 2 << 2 << true;
    QTest::newRow("write request refused") << W << s << true << 2 << 2 << true;
    QTest::newRow("a block refused") << W << s << true << 10 << 2 << true;
    QTest::newRow("access code refused counts as silence after it") << R << s << true << 1 << 7 << true;
    QTest::newRow("end frame refused after all data") << R << s << true << 3 << 10 << false;
    s = {}; s.answerInquiry = false;
    QTest::newRow("silence after inquiry") << R << s << true << -1 << 3 << true;
    s = {}; s.status = 0x00;
    QTest::newRow("status 00: no unit") << R << s << true << -1 << 5 << true;
    s = {}; s.status = 0x02;
    QTest::newRow("status 02: no unit") << W << s << true << -1 << 5 << true;
    s = {}; s.identity = "0233";
    QTest::newRow("identity 02 33: unknown unit") << R << s << true << -1 << 6 << true;
    s = {}; s.identity = "023200";
    QTest::newRow("identity 02 32 00: unknown unit") << W << s << true << -1 << 6 << true;
    s = {}; s.answerAccess = false;
    QTest::newRow("silence after access code") << R << s << true << -1 << 7 << true;
    s = {}; s.blocks = 98;
    QTest::newRow("98 blocks then empty") << R << s << true << -1 << 9 << false;
    s = {}; s.blocks = 0;
    QTest::newRow("empty first data frame") << R << s << true << -1 << 9 << false;
    s = {}; s.blocks = 100; s.endWithEmpty = false;
    QTest::newRow("a hundredth block") << R << s << true << -1 << 8 << true;
    s = {}; s.oddBlock = 5; s.oddPayload = "303030";
    QTest::newRow("payload of three bytes") << R << s << true << -1 << 4 << true;
    s = {}; s.oddBlock = 0; s.oddPayload = "3030303030";
    QTest::newRow("payload of five bytes") << R << s << true << -1 << 4 << true;
    s = {}; s.oddBlock = 7; s.oddPayload = "5A5A5A5A";
    QTest::newRow("four non-digit bytes are no error") << R << s << true << -1 << 10 << false;
    s = {}; s.blocks = 0; s.endWithEmpty = false;
    QTest::newRow("no data after read request") << R << s << true << -1 << 3 << true;
    s = {}; s.silentAfterBlock = 10;
    QTest::newRow("block not acknowledged") << W << s << true << -1 << 3 << true;
    s = {}; s.finalAcks = 1;
    QTest::newRow("last block acknowledged once") << W << s << true << -1 << 3 << true;
    s = {}; s.finalAckPayload = "30";
    QTest::newRow("last acknowledgement with payload") << W << s << true << -1 << 3 << true;
    s = {}; s.answerWriteRequest = true;
    QTest::newRow("write request answered like an acknowledgement") << W << s << true << -1 << 11 << false;
    s = {}; s.echo = true;
    QTest::newRow("cable echo, read") << R << s << true << -1 << 10 << false;
    QTest::newRow("cable echo, write") << W << s << true << -1 << 11 << false;
}

void TestCloneSession::results()
{
    QFETCH(int, mode);
    QFETCH(UnitScript, script);
    QFETCH(bool, opens);
    QFETCH(int, refuseWrite);
    QFETCH(int, result);
    QFETCH(bool, abortSent);

    Rig rig;
    FakeUnit unit(rig.port, script);
    rig.port.openSucceeds = opens;
    rig.port.refuseWriteNo = refuseWrite;
    const UnitWords image = rig.model.UnitImage;

    rig.Start(CloneMode(mode));
    rig.Run();

    QCOMPARE(rig.results, QList<CloneResult>{CloneResult(result)});
    QVERIFY(!rig.session.CloneActive());
    QVERIFY(!rig.port.IsOpen());
    QCOMPARE(rig.Abort(), abortSent ? 1 : 0);
    QCOMPARE(rig.model.UnitImage, image); // the session never touches the image
    if (!opens)
        QCOMPARE(rig.port.writeAttempts, 0);
    if (result == 0)
        QVERIFY(!rig.session.PortErrorText().isEmpty());
}

void TestCloneSession::completeRead()
{
    Rig rig;
    FakeUnit unit(rig.port);
    QVERIFY(rig.Start(CloneMode::Read));
    QCOMPARE(rig.port.openedSpeed, 9600);
    rig.Run();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::ReadComplete});
    QCOMPARE(rig.model.LoadBuffer, unit.memory);
    QCOMPARE(unit.accessDigits, QByteArray("58206"));
    const QList<HostFrame::Kind> frames{HostFrame::Inquiry, HostFrame::Access, HostFrame::ReadRequest,
                                        HostFrame::End};
    QCOMPARE(unit.heard, frames);
    QCOMPARE(rig.progress.size(), 99);
    QCOMPARE(rig.progress.first(), 0);
    QCOMPARE(rig.progress.at(97), 99);
    QCOMPARE(rig.progress.last(), 100);
    QCOMPARE(rig.session.State().BlockNo, 99);
}

void TestCloneSession::completeWrite()
{
    Rig rig;
    FakeUnit unit(rig.port);
    rig.model.UnitImage[0] = 0xFFFF;
    rig.model.UnitImage[98] = 0x0000;
    rig.model.DataEdited = true;
    QVERIFY(rig.Start(CloneMode::Write));
    rig.Run();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::WriteComplete});
    QCOMPARE(unit.received.size(), 99);
    for (int i = 0; i < 99; ++i)
        QCOMPARE(unit.received.at(i), rig.model.UnitImage[static_cast<std::size_t>(i)]);
    QCOMPARE(rig.port.written.at(3), HexToBytes(BlockFrame(0xFFFF)));
    QCOMPARE(unit.heard.last(), HostFrame::End);
    QCOMPARE(rig.progress.last(), 100);
    QCOMPARE(rig.session.State().BlockNo, 100);
    QVERIFY(rig.model.DataEdited); // a write leaves the edited state alone
}

void TestCloneSession::headAndTailInDifferentTicks()
{
    Rig rig;
    QVERIFY(rig.Start(CloneMode::Read));
    const QByteArray reply = UnitStatusReply(0x01);
    rig.port.FeedHex(reply.left(reply.size() - 4)); // all but the status byte and FD
    rig.Tick();
    QVERIFY(rig.session.State().HeadFound);
    QCOMPARE(rig.session.State().CloneStep, 0);
    rig.port.FeedHex(reply.right(4));
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 1);
    QCOMPARE(rig.port.written.last(), HexToBytes(AccessFrame(58206)));
}

void TestCloneSession::bytesBeforeTheHead()
{
    Rig rig;
    QVERIFY(rig.Start(CloneMode::Read));
    rig.port.FeedHex(InquiryFrame() + "00FEFE37FEFE" + UnitStatusReply(0x01));
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 1);
}

void TestCloneSession::timeoutBoundary_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("result");
    QTest::newRow("awaiting status") << 0 << 3;
    QTest::newRow("awaiting identity") << 1 << 7;
}

void TestCloneSession::timeoutBoundary()
{
    QFETCH(int, step);
    QFETCH(int, result);
    Rig rig;
    rig.clock.Set(86399.5); // the clock's value never matters, only differences
    QVERIFY(rig.Start(CloneMode::Read));
    if (step == 1) {
        rig.port.FeedHex(UnitStatusReply(0x01));
        rig.Tick();
        QCOMPARE(rig.session.State().CloneStep, 1);
    }
    const double sent = rig.session.State().StartTime;
    rig.clock.Set(sent + 2.0);
    rig.Tick();
    QVERIFY(rig.session.CloneActive());
    rig.clock.Set(sent + 2.0005);
    rig.Tick();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult(result)});
}

void TestCloneSession::bytesKeepArriving()
{
    Rig rig;
    QVERIFY(rig.Start(CloneMode::Read));
    for (int i = 0; i < 10; ++i) {
        rig.clock.Advance(0.5);
        rig.port.FeedHex("00");
        rig.Tick();
        QVERIFY(rig.session.CloneActive());
    }
    // The time-out counts from the send: the first silent tick ends the run.
    rig.clock.Advance(0.5);
    rig.Tick();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::NoAnswer});
}

void TestCloneSession::readTimeoutRestartsWithEachBlock()
{
    Rig rig;
    QVERIFY(rig.Start(CloneMode::Read));
    rig.port.FeedHex(UnitStatusReply(0x01));
    rig.Tick();
    rig.port.FeedHex(UnitIdentityReply());
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 2);
    for (int i = 0; i < 99; ++i) {
        rig.clock.Advance(1.5);
        rig.Tick(); // silent, but within 2.0 s of the last stored block
        rig.clock.Advance(0.4);
        rig.port.FeedHex(UnitBlockReply(static_cast<std::uint16_t>(i)));
        rig.Tick();
        QCOMPARE(rig.session.State().BlockNo, i + 1);
    }
    rig.port.FeedHex(UnitEmptyReply());
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 6);
    rig.Tick();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::ReadComplete});
    QCOMPARE(rig.model.LoadBuffer[98], 98);
}

void TestCloneSession::severalBlocksPerTickAndSplitBlock()
{
    Rig rig;
    QVERIFY(rig.Start(CloneMode::Read));
    rig.port.FeedHex(UnitStatusReply(0x01));
    rig.Tick();
    rig.port.FeedHex(UnitIdentityReply());
    rig.Tick();
    rig.port.FeedHex(UnitBlockReply(0x1111) + UnitBlockReply(0x2222) + UnitBlockReply(0x3333));
    rig.Tick();
    QCOMPARE(rig.session.State().BlockNo, 3);
    QCOMPARE(rig.model.LoadBuffer[2], 0x3333);
    const QByteArray fourth = UnitBlockReply(0xABCD);
    rig.port.FeedHex(fourth.left(14));
    rig.Tick();
    QCOMPARE(rig.session.State().BlockNo, 3);
    rig.port.FeedHex(fourth.mid(14, 12));
    rig.Tick();
    QCOMPARE(rig.session.State().BlockNo, 3);
    rig.port.FeedHex(fourth.mid(26));
    rig.Tick();
    QCOMPARE(rig.session.State().BlockNo, 4);
    QCOMPARE(rig.model.LoadBuffer[3], 0xABCD);
    QCOMPARE(rig.progress, (QList<int>{0, 1, 2, 3}));
}

void TestCloneSession::lastBlockNeedsTwoAcknowledgements()
{
    Rig rig;
    UnitScript script;
    script.finalAcks = 0;
    FakeUnit unit(rig.port, script);
    QVERIFY(rig.Start(CloneMode::Write));
    for (int i = 0; i < 1000 && unit.received.size() < 99; ++i)
        rig.Tick();
    QCOMPARE(unit.received.size(), 99);
    rig.Tick();
    QCOMPARE(rig.session.State().ReplyHead, FinalAckPattern());
    QCOMPARE(rig.session.State().ReplyTail, FinalAckPattern());

    rig.port.FeedHex(UnitEmptyReply() + "0000");
    rig.Tick();
    QCOMPARE(rig.port.CountWritten(EndFrame()), 0);
    rig.port.FeedHex(UnitEmptyReply());
    rig.Tick();
    QCOMPARE(rig.port.CountWritten(EndFrame()), 1);
    QCOMPARE(rig.session.State().CloneStep, 6);
    rig.Tick();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::WriteComplete});
}

void TestCloneSession::firstBlockFollowsWriteRequestWithoutReply()
{
    Rig rig;
    QVERIFY(rig.Start(CloneMode::Write));
    rig.port.FeedHex(UnitStatusReply(0x01));
    rig.Tick();
    rig.port.FeedHex(UnitIdentityReply());
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 3);
    QCOMPARE(rig.port.written.last(), HexToBytes(WriteRequestFrame()));
    // The unit's answer to the write request waits in the port meanwhile.
    rig.port.FeedHex(UnitEmptyReply());
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 5);
    QCOMPARE(rig.port.written.last(), HexToBytes(BlockFrame(0xA000)));
    rig.Tick(); // reads that answer: it releases block 1
    QCOMPARE(rig.port.written.last(), HexToBytes(BlockFrame(0xA001)));
}

void TestCloneSession::echoOfRefusedFrame()
{
    Rig rig;
    rig.port.refuseWriteNo = 1; // the access frame
    QVERIFY(rig.Start(CloneMode::Read));
    rig.port.FeedHex(UnitStatusReply(0x01));
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 1);
    QVERIFY(!rig.session.State().FrameSent);
    // A reply without the echo is not looked at while the frame counts as unsent.
    rig.port.FeedHex(UnitIdentityReply());
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 1);
    // The echo proves the frame went out; the reply after it is taken.
    rig.port.FeedHex(AccessFrame(58206) + UnitIdentityReply());
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 2);
    QCOMPARE(rig.port.written.last(), HexToBytes(ReadRequestFrame()));
}

void TestCloneSession::byteBoundarySearch_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<int>("step"); // step after the tick
    QTest::addColumn<bool>("headFound");
    // The status head appears only between the digits of bytes: not a reply.
    QTest::newRow("head straddling bytes")
        << QByteArray("0FEEFEEE820240000000" "1FD0") << 0 << false;
    // FD inside the status bytes 0F D1 is no tail; the real FD ends the reply,
    // and the status 0FD1 has its lowest bit set.
    QTest::newRow("tail straddling bytes")
        << QByteArray("FEFEEFEEE82024000000" "0FD1" "FD") << 1 << false;
}

void TestCloneSession::byteBoundarySearch()
{
    QFETCH(QByteArray, received);
    QFETCH(int, step);
    QFETCH(bool, headFound);
    Rig rig;
    QVERIFY(rig.Start(CloneMode::Read));
    rig.port.FeedHex(received);
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, step);
    QCOMPARE(rig.session.State().HeadFound, headFound);
    QVERIFY(rig.results.isEmpty());
}

void TestCloneSession::babblingLineEndsAsOverflow()
{
    Rig rig;
    QVERIFY(rig.Start(CloneMode::Read));
    for (int i = 0; i < 20; ++i) {
        rig.port.Feed(QByteArray(100, '\x55'));
        rig.Tick();
    }
    QVERIFY(rig.session.CloneActive()); // 2000 bytes: not yet over the buffer
    rig.port.Feed(QByteArray(100, '\x55'));
    rig.Tick();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::BufferOverflow});
    QCOMPARE(rig.Abort(), 1);
}

void TestCloneSession::refusedWriteIsNotSent_data()
{
    QTest::addColumn<qint64>("shortBy");
    QTest::newRow("refused") << qint64(0);
    QTest::newRow("one byte short") << qint64(1);
}

void TestCloneSession::refusedWriteIsNotSent()
{
    QFETCH(qint64, shortBy);
    Rig rig;
    FakeUnit unit(rig.port);
    rig.port.refuseWriteNo = 2; // the read request
    rig.port.shortWriteBy = shortBy;
    QVERIFY(rig.Start(CloneMode::Read));
    rig.Tick();
    rig.Tick();
    QCOMPARE(rig.session.State().CloneStep, 2);
    QVERIFY(!rig.session.State().FrameSent);
    rig.Run();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::FrameNotTaken});
}

void TestCloneSession::drainIsBounded_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("drains");
    QTest::addColumn<int>("boundMs");
    // 98 bytes of ten bits each on the wire, plus half a second.
    QTest::newRow("9600 bit/s") << 9600 << true << 603;
    QTest::newRow("115200 bit/s") << 115200 << true << 509;
    QTest::newRow("1200 bit/s") << 1200 << true << 1317;
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
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::Cancelled});
}

void TestCloneSession::overflowEventClosesFirst()
{
    Rig rig;
    FakeUnit unit(rig.port);
    QVERIFY(rig.Start(CloneMode::Read));
    rig.Tick();
    const qsizetype writes = rig.port.written.size();
    rig.port.RaiseOverflow();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::BufferOverflow});
    QCOMPARE(rig.port.written.size(), writes); // no F-ABORT on a closed port
    QVERIFY(!rig.port.IsOpen());
}

void TestCloneSession::lostPort_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("lostAtWrite"); // lost while this write is handed over
    QTest::addColumn<int>("result");
    const int R = int(CloneMode::Read), W = int(CloneMode::Write);
    QTest::newRow("awaiting status") << R << 0 << 3;
    QTest::newRow("awaiting identity") << R << 1 << 7;
    QTest::newRow("reading") << R << 2 << 3;
    QTest::newRow("writing blocks") << W << 9 << 3;
    QTest::newRow("after the end frame") << R << 3 << 10;
}

void TestCloneSession::lostPort()
{
    QFETCH(int, mode);
    QFETCH(int, lostAtWrite);
    QFETCH(int, result);
    Rig rig;
    FakeUnit unit(rig.port);
    auto answer = rig.port.onWrite;
    int writes = 0;
    rig.port.onWrite = [&](const QByteArray &bytes) {
        answer(bytes);
        if (writes++ == lostAtWrite)
            rig.port.Unplug();
    };
    const UnitWords image = rig.model.UnitImage;
    rig.Start(CloneMode(mode));
    rig.Run();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult(result)});
    QCOMPARE(rig.port.written.size(), lostAtWrite + 1); // nothing after the loss
    QCOMPARE(rig.model.UnitImage, image);
    QVERIFY(rig.session.PortErrorText().contains(QLatin1String("device gone")));
}

void TestCloneSession::cancel()
{
    Rig rig;
    FakeUnit unit(rig.port);
    const UnitWords image = rig.model.UnitImage;
    rig.session.Cancel(); // idle: nothing happens
    QVERIFY(rig.results.isEmpty());
    QVERIFY(rig.Start(CloneMode::Read));
    rig.Tick();
    rig.Tick();
    rig.session.Cancel();
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult::Cancelled});
    QCOMPARE(rig.Abort(), 1);
    QVERIFY(!rig.port.IsOpen());
    QCOMPARE(rig.model.UnitImage, image);
    QVERIFY(!IsCloneError(CloneResult::Cancelled));
    // A new run can start afterwards.
    QVERIFY(rig.Start(CloneMode::Read));
    rig.Run();
    QCOMPARE(rig.results.last(), CloneResult::ReadComplete);
}

void TestCloneSession::idleTickOnlyEmptiesInput()
{
    Rig rig;
    FakeUnit unit(rig.port);
    QVERIFY(rig.Start(CloneMode::Read));
    rig.Run();
    const qsizetype writes = rig.port.written.size();
    for (int i = 0; i < 5; ++i) {
        rig.clock.Advance(3.0);
        rig.Tick();
    }
    QCOMPARE(rig.results.size(), 1);
    QCOMPARE(rig.port.written.size(), writes);
}

// Ports that misbehave must end the run with a clean failure, never hang.
void TestCloneSession::misbehavingPorts_data()
{
    QTest::addColumn<QString>("behaviour");
    QTest::addColumn<int>("result");
    QTest::newRow("never answers") << "silent" << 3;
    QTest::newRow("read fails") << "readFails" << 3;
    QTest::newRow("write fails") << "writeFails" << 0;
    QTest::newRow("garbage after every frame") << "garbage" << 3;
    QTest::newRow("garbage without end") << "endlessGarbage" << 1;
    QTest::newRow("every reply one byte short") << "short" << 3;
}

void TestCloneSession::misbehavingPorts()
{
    QFETCH(QString, behaviour);
    QFETCH(int, result);
    Rig rig;
    QRandomGenerator random(42);
    const auto garbage = [&random] {
        QByteArray bytes(40, '\0');
        for (char &c : bytes)
            c = static_cast<char>(random.bounded(256));
        return bytes;
    };
    std::optional<FakeUnit> unit;
    if (behaviour != QLatin1String("silent") && behaviour != QLatin1String("endlessGarbage"))
        unit.emplace(rig.port);
    if (behaviour == QLatin1String("readFails"))
        rig.port.readFails = true;
    else if (behaviour == QLatin1String("writeFails"))
        rig.port.refuseAllWrites = true;
    else if (behaviour == QLatin1String("garbage"))
        rig.port.onWrite = [&](const QByteArray &) { rig.port.Feed(garbage()); };
    else if (behaviour == QLatin1String("short"))
        rig.port.chopEachFeed = 1;

    rig.Start(CloneMode::Read);
    for (int i = 0; i < 100000 && rig.session.CloneActive(); ++i) {
        if (behaviour == QLatin1String("endlessGarbage"))
            rig.port.Feed(garbage());
        rig.Tick();
        rig.clock.Advance(0.01);
    }
    QCOMPARE(rig.results, QList<CloneResult>{CloneResult(result)});
    QVERIFY(!rig.port.IsOpen());
}

void TestCloneSession::trace()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CloneTrace trace;
    QVERIFY(trace.Open(dir.filePath(QStringLiteral("clone.trace"))));
    Rig rig;
    FakeUnit unit(rig.port);
    rig.session.SetTrace(&trace);
    rig.Start(CloneMode::Read);
    rig.Run(0.002);
    trace.Close();
    QFile file(dir.filePath(QStringLiteral("clone.trace")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QVERIFY(lines.size() > 5);
    QVERIFY(lines.at(0).contains("clone Read on /dev/fake at 9600 bit/s"));
    QVERIFY(lines.at(1).endsWith("TX " + SpacedHex(InquiryFrame())));
    QVERIFY(lines.at(2).contains("RX " + SpacedHex(UnitStatusReply(1))));
    QVERIFY(lines.at(lines.size() - 2).endsWith("end, result 10"));
    double last = -1;
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        bool ok = false;
        const double ms = line.left(line.indexOf(" ms")).trimmed().toDouble(&ok);
        QVERIFY2(ok, line.constData());
        QVERIFY(ms >= last);
        last = ms;
    }
    QVERIFY(last > 0);
}

void TestCloneSession::runToEndWithoutWindow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("result");
    QTest::newRow("read") << int(CloneMode::Read) << 10;
    QTest::newRow("write") << int(CloneMode::Write) << 11;
}

void TestCloneSession::runToEndWithoutWindow()
{
    QFETCH(int, mode);
    QFETCH(int, result);
    UnitModel model;
    FakeSerialPort port;
    port.emitReadyRead = true;
    FakeUnit unit(port);
    SteadyCloneClock clock;
    CloneSession session(model, port, clock);
    QSignalSpy finished(&session, &CloneSession::finished);
    const CloneResult r =
        RunCloneToEnd(session, {CloneMode(mode), QStringLiteral("/dev/fake"), 38400, 12345});
    QCOMPARE(r, CloneResult(result));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(unit.accessDigits, QByteArray("12345"));
    if (r == CloneResult::ReadComplete)
        QCOMPARE(model.LoadBuffer, unit.memory);
}

QTEST_GUILESS_MAIN(TestCloneSession)
#include "tst_clone_session.moc"
