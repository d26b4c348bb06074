// SPDX-License-Identifier: GPL-3.0-or-later
// The clone session poll by poll on a manual clock: whole runs, reply matching, time-outs, drain.
#include "clone/fake_serial_port.h"

#include <QSet>
#include <QTest>

using namespace vireo;
using namespace vireo::test;

namespace {

constexpr std::int32_t Code = 12345; // not the default: the unit must be sent the request's code

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
        QObject::connect(&session, &CloneSession::finished, &session,
                         [this](CloneResult r) { results.append(r); });
        QObject::connect(&session, &CloneSession::progress, &session, [this](int v) { progress.append(v); });
        for (int i = 0; i < 99; ++i)
            model.UnitImage[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0xA000 + i);
    }
    bool Start(CloneMode mode, qint32 speed = 9600)
    {
        return session.StartClone({mode, QStringLiteral("/dev/fake"), speed, Code});
    }
    void Hear(const QByteArray &hex)
    {
        port.FeedHex(hex);
        session.CloneTick();
    }
};

using Results = QList<CloneResult>;
using Step = std::pair<double, QByteArray>; // seconds that pass, then bytes that arrive (hex)
using Steps = QList<Step>;

} // namespace

Q_DECLARE_METATYPE(Steps)

class TestCloneSession : public QObject {
    Q_OBJECT
  private slots:
    // Whole runs: every result, from the simulated unit's faults or the port's.
    void runs_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("unit"); // a simulated unit fault, "echo", or none
        QTest::addColumn<PortFaults>("port");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("abortSent");
        const int R = int(CloneMode::Read), W = int(CloneMode::Write);
        const PortFaults ok;
        QTest::newRow("read complete") << R << "" << ok << 10 << false;
        QTest::newRow("write complete") << W << "" << ok << 11 << false;
        QTest::newRow("write through the cable's echo") << W << "echo" << ok << 11 << false;
        QTest::newRow("noisy line still reads") << R << "noise=1" << ok << 10 << false;
        QTest::newRow("port does not open") << R << "" << PortFaults{.noOpen = true} << 0 << false;
        QTest::newRow("first frame refused") << R << "" << PortFaults{.refuseWrite = 0} << 0 << true;
        QTest::newRow("read request refused") << R << "" << PortFaults{.refuseWrite = 2} << 2 << true;
        QTest::newRow("read request 1 byte short")
            << R << "" << PortFaults{.refuseWrite = 2, .shortBy = 1} << 2 << true;
        QTest::newRow("access code refused: silence") << R << "" << PortFaults{.refuseWrite = 1} << 7 << true;
        QTest::newRow("end frame refused after all data")
            << R << "" << PortFaults{.refuseWrite = 3} << 10 << false;
        QTest::newRow("no unit") << W << "no-unit" << ok << 5 << true;
        QTest::newRow("unknown unit") << R << "wrong-identity" << ok << 6 << true;
        QTest::newRow("identity ends 0D 0A: not recognised") << R << "crlf-reversed" << ok << 7 << true;
        QTest::newRow("98 blocks then empty") << R << "short-data=98" << ok << 9 << false;
        QTest::newRow("a hundredth block") << R << "extra-blocks" << ok << 8 << true;
        QTest::newRow("block of three bytes") << R << "bad-block=5" << ok << 4 << true;
        QTest::newRow("endless bytes overflow the buffer") << R << "babble" << ok << 1 << true;
        QTest::newRow("overflow: no abort on the closed port")
            << R << "" << PortFaults{.overflow = true} << 1 << false;
        QTest::newRow("read fails") << R << "" << PortFaults{.readFails = true} << 3 << true;
        QTest::newRow("lost awaiting the status") << R << "unplug-after=0" << ok << 2 << false;
        QTest::newRow("lost after the end frame") << R << "" << PortFaults{.loseAtWrite = 3} << 10 << false;
    }

    void runs()
    {
        QFETCH(int, mode);
        QFETCH(QString, unit);
        QFETCH(PortFaults, port);
        QFETCH(int, result);
        QFETCH(bool, abortSent);

        Rig rig;
        UnitSimConfig config = QuickUnit(Code);
        config.echo = unit == QLatin1String("echo");
        if (!config.echo && !unit.isEmpty())
            QVERIFY(!ParseUnitFault(unit, config.faults));
        SimulatedLine line(rig.port, rig.clock, config);
        rig.port.faults = port;
        const UnitWords image = rig.model.UnitImage;

        rig.Start(CloneMode(mode));
        if (port.overflow)
            emit rig.port.receiveOverflow();
        TickToEnd(rig.session, rig.clock, 0.01, [&] { line.Pump(); });
        rig.clock.Advance(3.0); // a poll after the end does nothing
        rig.session.CloneTick();

        QCOMPARE(rig.results, Results{CloneResult(result)});
        QVERIFY(!rig.port.IsOpen());
        QCOMPARE(rig.port.CountWritten(AbortFrame()), abortSent ? 1 : 0);
        QCOMPARE(rig.model.UnitImage, image); // the session never touches the image
        if (result == 0 || port.loseAtWrite >= 0 || unit.startsWith(QLatin1String("unplug")))
            QVERIFY(!rig.session.PortErrorText().isEmpty());
        if (port.loseAtWrite >= 0)
            QCOMPARE(rig.port.written.size(),
                     port.loseAtWrite + (port.refuseWrite < 0 ? 1 : 0)); // nothing after the loss
        if (result == 10)
            QCOMPARE(rig.model.LoadBuffer, config.memory);
        if (result == 11) {
            QCOMPARE(line.unit.Memory(), image);
            QVERIFY(line.unit.TakeRunEnds().back().writeComplete); // closed by F-END, not F-ABORT
        }
        if (result >= 10) { // block 0, block 97 and the last block
            QCOMPARE(rig.progress.size(), 99);
            QCOMPARE(QList<int>({rig.progress[0], rig.progress[97], rig.progress[98]}),
                     QList<int>({0, 99, 100}));
        }
    }

    // Each step: time passes, bytes arrive (hex), one poll. What was sent last, blocks stored, result.
    void polls_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("refuseWrite");
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QByteArray>("lastSent"); // empty: not looked at
        QTest::addColumn<int>("stored");          // blocks read, 0x0100 + their number
        QTest::addColumn<int>("result");          // -1: the run goes on
        const int R = int(CloneMode::Read), W = int(CloneMode::Write);
        const QByteArray status = UnitStatusReply(0x01), identity = UnitIdentityReply();
        const QByteArray access = AccessFrame(Code), read = ReadRequestFrame(), none;
        const Steps handshake{{0, status}, {0, identity}};
        const auto now = [](const QByteArrayList &chunks) {
            Steps steps;
            for (const QByteArray &chunk : chunks)
                steps << Step{0, chunk};
            return steps;
        };
        const auto row = [](const char *name, const Steps &steps, const QByteArray &lastSent, int result,
                            int mode = int(CloneMode::Read), int refuseWrite = -1, int stored = 0) {
            QTest::newRow(name) << mode << refuseWrite << steps << lastSent << stored << result;
        };

        // Reply matching: replies in pieces or after other bytes, whole bytes only; complete blocks.
        row("head and tail in two polls", now({status.chopped(4), status.right(4)}), access, -1);
        row("bytes before the head", now({InquiryFrame() + "00FE37FE" + status}), access, -1);
        // The status head appears only between the digits of bytes: not a reply.
        row("head straddling bytes", now({"0FEEFEEE8202400000001FD0"}), InquiryFrame(), -1);
        // FD inside the status bytes 0F D1 is no tail; the real FD ends the reply (lowest bit set).
        row("tail straddling bytes", now({"FEFEEFEEE820240000000FD1FD"}), access, -1);
        // A reply is not looked at while the frame counts as unsent; its echo proves it went out.
        row("refused, reply without echo", now({status, identity}), InquiryFrame(), -1, R, 1);
        row("refused, echo then reply", now({status, identity, access + identity}), read, -1, R, 1);
        const QByteArray three = UnitBlockReply(0x0100) + UnitBlockReply(0x0101) + UnitBlockReply(0x0102);
        const QByteArray block = UnitBlockReply(0x0103);
        const Steps split = handshake + now({three, block.left(14), block.mid(14, 12)});
        row("a block not yet complete", split, read, -1, R, -1, 3);
        row("several blocks a poll, one split in three", split + now({block.mid(26)}), read, -1, R, -1, 4);

        // Time-out: over 2.0 s from the send or the last stored block; arriving bytes do not reset it.
        row("2.0 s awaiting status: not yet", Steps{{2.0, {}}}, none, -1);
        row("just over 2.0 s awaiting status", Steps{{2.0005, {}}}, none, 3);
        row("wrong access code: silent over 2 s", Steps{{0, status}, {2.0005, {}}}, AbortFrame(), 7);
        row("write request refused: just over", handshake + Steps{{2.0005, {}}}, AbortFrame(), 2, W, 2);
        const Steps noise{{0.5, "00"}, {0.5, "00"}, {0.5, "00"}, {0.5, "00"}, {0.5, "00"}};
        row("bytes hold it off", noise, none, -1);
        row("but it counts from the send", noise + Steps{{0.1, {}}}, none, 3);
        Steps blocks = handshake;
        for (int i = 0; i < 3; ++i)
            blocks << Step{1.9, {}} << Step{0, UnitBlockReply(std::uint16_t(0x0100 + i))};
        row("every stored block restarts it", blocks, none, -1, R, -1, 3);

        // Any acknowledgement releases the next block; the last needs the empty one twice.
        const QByteArray empty = UnitEmptyReply();
        const auto writing = [&](bool answersWriteRequest, const QByteArray &lastAcks) {
            Steps steps = handshake + now({answersWriteRequest ? UnitDataReply("3030") : QByteArray()});
            if (answersWriteRequest)
                steps << Step{0, {}}; // the answer still waiting in the port releases block 1
            for (int n = answersWriteRequest ? 1 : 0; n < 98; ++n)
                steps << Step{0, UnitDataReply(n % 2 ? "" : "3030")};
            return steps + Steps{{0, lastAcks}, {2.1, {}}};
        };
        row("last block acknowledged twice", writing(false, empty + "00" + empty), EndFrame(), 11, W);
        row("write request answer taken as block 0's", writing(true, empty + empty), EndFrame(), 11, W);
        row("last block acknowledged once", writing(false, empty), AbortFrame(), 3, W);
        row("last acknowledgement with payload", writing(false, UnitDataReply("30").repeated(2)),
            AbortFrame(), 3, W);
    }

    void polls()
    {
        QFETCH(int, mode);
        QFETCH(int, refuseWrite);
        QFETCH(Steps, steps);
        QFETCH(QByteArray, lastSent);
        QFETCH(int, stored);
        QFETCH(int, result);
        Rig rig;
        rig.port.faults.refuseWrite = refuseWrite;
        rig.clock.Advance(85399.5); // the clock's value never matters, only differences
        QVERIFY(rig.Start(CloneMode(mode)));
        for (const auto &[seconds, hex] : steps) {
            rig.clock.Advance(seconds);
            rig.Hear(hex);
        }
        QVERIFY(lastSent.isEmpty() || rig.port.written.last() == HexToBytes(lastSent));
        const QSet<QByteArray> frames(rig.port.written.begin(), rig.port.written.end());
        QCOMPARE(frames.size(), rig.port.written.size()); // no frame goes out twice
        if (mode == int(CloneMode::Read))
            QCOMPARE(rig.progress.size(), stored);
        for (int i = 0; i < stored; ++i)
            QCOMPARE(rig.model.LoadBuffer[static_cast<std::size_t>(i)], 0x0100 + i);
        QCOMPARE(rig.results, result < 0 ? Results{} : Results{CloneResult(result)});
    }

    // The last frame drains before the close, waiting its wire time plus 0.5 s, at most 2 s.
    void drainBeforeClose_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<bool>("complete"); // a whole read, ended by F-END; else cancelled
        QTest::addColumn<bool>("drains");
        QTest::addColumn<int>("boundMs");
        QTest::newRow("abort at 9600 bit/s") << 9600 << false << true << 603;
        QTest::newRow("abort at 300 bit/s is capped") << 300 << false << true << 2000;
        QTest::newRow("end frame at 1200 bit/s") << 1200 << true << true << 592;
        QTest::newRow("adapter never drains: closed all the same") << 9600 << false << false << 603;
    }

    void drainBeforeClose()
    {
        QFETCH(int, speed);
        QFETCH(bool, complete);
        QFETCH(bool, drains);
        QFETCH(int, boundMs);
        Rig rig;
        SimulatedLine line(rig.port, rig.clock, QuickUnit(Code));
        rig.port.faults.neverDrains = !drains;
        QVERIFY(rig.Start(CloneMode::Read, speed));
        if (complete)
            TickToEnd(rig.session, rig.clock, 0.01, [&] { line.Pump(); });
        else
            rig.session.Cancel();
        QCOMPARE(rig.results, Results{complete ? CloneResult::ReadComplete : CloneResult::Cancelled});
        QCOMPARE(rig.port.CountWritten(AbortFrame()), complete ? 0 : 1);
        QCOMPARE(rig.port.drainWaits, QList<int>{boundMs});
        QCOMPARE(rig.port.queuedAtClose == 0, drains);
        QVERIFY(!rig.port.IsOpen());
        QVERIFY(rig.Start(CloneMode::Read)); // the next run can start
    }
};

QTEST_GUILESS_MAIN(TestCloneSession)
#include "tst_clone_session.moc"
