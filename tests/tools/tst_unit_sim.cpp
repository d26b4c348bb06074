// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated unit without a terminal: its answers frame by frame, the wire
// timing of its output, every fault against the program's own clone session.
#include "unit_simulator.h"

#include "clone/clone_frames.h"
#include "clone/clone_session.h"

#include <QTest>
#include <utility>

using namespace vireo;

namespace {

constexpr qint64 MsNs = 1000000;

UnitWords CountingMemory()
{
    UnitWords words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = std::uint16_t(0x1111 * (i % 16) + i);
    words[7] = 0xFFFF;
    return words;
}

UnitSimConfig Unpaced()
{
    UnitSimConfig config;
    config.memory = CountingMemory();
    config.baud = 0;
    return config;
}

// Hands the unit a program frame (hexadecimal text) and returns every byte it
// sends in answer, as hexadecimal text.
QByteArray Answer(UnitSimulator &unit, const QByteArray &frameHex, qint64 at = 0)
{
    unit.Receive(at, HexToBytes(frameHex));
    return BytesToHex(unit.TakeDue(at + 3600 * 1000 * MsNs));
}

QByteArray StartWrite(UnitSimulator &unit)
{
    // One frame after the other: the operands of + have no order of their own.
    QByteArray heard = Answer(unit, InquiryFrame());
    heard += Answer(unit, AccessFrame(DefaultUnitCode));
    heard += Answer(unit, WriteRequestFrame());
    return heard;
}

/** A clock the test moves. */
class TestClock : public CloneClock {
  public:
    double Now() const override { return m_now; }
    void Advance(double seconds) { m_now += seconds; }

  private:
    double m_now = 100.0;
};

/** The program's serial port wired straight to the simulated unit. */
class UnitWire : public SerialPort {
  public:
    UnitWire(UnitSimulator &unit, const qint64 &nowNs) : m_unit(unit), m_nowNs(nowNs) {}

    bool Open(const QString &, qint32) override
    {
        m_open = true;
        m_rx.clear();
        return true;
    }
    bool IsOpen() const override { return m_open; }
    void Close() override
    {
        if (m_open)
            m_unit.LineClosed();
        m_open = false;
    }
    qint64 BytesWaiting() const override { return m_rx.size(); }
    QByteArray ReadAll() override { return std::exchange(m_rx, {}); }
    void ClearInput() override { m_rx.clear(); }
    qint64 Write(const QByteArray &bytes) override
    {
        if (!m_open)
            return -1;
        m_unit.Receive(m_nowNs, bytes);
        return bytes.size();
    }
    qint64 BytesToSend() const override { return 0; }
    bool WaitUntilSent(int) override { return true; }
    PortFailure FailureKind() const override { return PortFailure::None; }
    QString FailureText() const override { return {}; }

    void Deliver()
    {
        if (m_open)
            m_rx += m_unit.TakeDue(m_nowNs);
    }

  private:
    UnitSimulator &m_unit;
    const qint64 &m_nowNs;
    QByteArray m_rx;
    bool m_open = false;
};

// One clone run of the program's session against the unit, 1 ms a tick on a
// clock shared by both; the time-outs run on the same clock.
CloneResult RunSession(UnitSimulator &unit, CloneMode mode, std::int32_t code, UnitModel &model)
{
    TestClock clock;
    qint64 nowNs = 0;
    UnitWire wire(unit, nowNs);
    CloneSession session(model, wire, clock);
    session.SetAutoDrive(false);
    CloneRequest request;
    request.mode = mode;
    request.device = QStringLiteral("/dev/unit");
    request.accessCode = code;
    session.StartClone(request);
    for (int tick = 0; session.CloneActive() && tick < 120000; ++tick) {
        clock.Advance(0.001);
        nowNs += MsNs;
        wire.Deliver();
        session.CloneTick();
    }
    return session.LastResult().value_or(CloneResult::Cancelled);
}

} // namespace

Q_DECLARE_METATYPE(UnitRunEnd::Cause)

class TestUnitSim : public QObject {
    Q_OBJECT

  private slots:
    void handshake_data();
    void handshake();
    void readStreamsMemoryThenEmptyFrame();
    void writeStoresEachBlockAndAcknowledgesLastTwice();
    void writeCompletion_data();
    void writeCompletion();
    void repliesAreTimedOnTheWire_data();
    void repliesAreTimedOnTheWire();
    void readStreamsWithoutGaps();
    void echoComesBackBeforeTheReply();
    void preambleCount();
    void unplugAfterFrames();
    void babbleNeverFormsAReplyAndStopsWithTheRun();
    void faultArguments_data();
    void faultArguments();
    void sessionAgainstUnit_data();
    void sessionAgainstUnit();
};

void TestUnitSim::handshake_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("unitCode");
    QTest::addColumn<int>("sentCode");
    QTest::addColumn<QByteArray>("statusReply");
    QTest::addColumn<QByteArray>("identityReply");

    const QByteArray present = UnitStatusReply(1);
    QTest::newRow("right code") << QStringList() << 58206 << 58206 << present << UnitIdentityReply();
    QTest::newRow("wrong code: silence") << QStringList() << 58206 << 58207 << present << QByteArray();
    QTest::newRow("code 00000") << QStringList() << 0 << 0 << present << UnitIdentityReply();
    QTest::newRow("code 00042 is not 42000") << QStringList() << 42 << 42000 << present << QByteArray();
    QTest::newRow("no unit: status 00, access unanswered")
        << QStringList{"no-unit"} << 58206 << 58206 << UnitStatusReply(0) << QByteArray();
    QTest::newRow("wrong identity") << QStringList{"wrong-identity"} << 58206 << 58206 << present
                                    << UnitIdentityReply(QByteArray(piece::SubData) + "33");
}

void TestUnitSim::handshake()
{
    QFETCH(QStringList, faults);
    QFETCH(int, unitCode);
    QFETCH(int, sentCode);
    QFETCH(QByteArray, statusReply);
    QFETCH(QByteArray, identityReply);

    UnitSimConfig config = Unpaced();
    config.accessCode = unitCode;
    for (const QString &fault : faults)
        QVERIFY(!ParseUnitFault(fault, config.faults));
    UnitSimulator unit(config);

    QCOMPARE(Answer(unit, AccessFrame(sentCode)), QByteArray()); // nothing before an inquiry
    QCOMPARE(Answer(unit, InquiryFrame()), statusReply);
    QCOMPARE(Answer(unit, AccessFrame(sentCode)), identityReply);
    QVERIFY(unit.RunActive());
}

void TestUnitSim::readStreamsMemoryThenEmptyFrame()
{
    UnitSimulator unit(Unpaced());
    Answer(unit, InquiryFrame());
    Answer(unit, AccessFrame(DefaultUnitCode));

    QByteArray expected;
    for (std::uint16_t word : CountingMemory())
        expected += UnitBlockReply(word);
    expected += UnitEmptyReply();
    QCOMPARE(Answer(unit, ReadRequestFrame()), expected);

    QCOMPARE(Answer(unit, EndFrame()), QByteArray());
    const std::vector<UnitRunEnd> ends = unit.TakeRunEnds();
    QCOMPARE(ends.size(), std::size_t(1));
    QCOMPARE(ends[0].mode, UnitRunEnd::Read);
    QCOMPARE(ends[0].cause, UnitRunEnd::EndFrame);
    QCOMPARE(ends[0].blocks, 99);
    QVERIFY(!ends[0].writeComplete);
}

void TestUnitSim::writeStoresEachBlockAndAcknowledgesLastTwice()
{
    UnitSimulator unit(Unpaced());
    QCOMPARE(StartWrite(unit), UnitStatusReply(1) + UnitIdentityReply()); // no answer to the write request

    UnitWords written{};
    for (int i = 0; i < word::Count; ++i) {
        written[std::size_t(i)] = std::uint16_t(0xFFFF - 3 * i);
        const QByteArray acks = Answer(unit, BlockFrame(written[std::size_t(i)]));
        QCOMPARE(acks, UnitEmptyReply().repeated(i == word::Count - 1 ? 2 : 1));
    }
    QCOMPARE(unit.Memory(), written);
    QCOMPARE(Answer(unit, BlockFrame(0x1234)), QByteArray()); // a hundredth block is not taken
    QCOMPARE(unit.Memory(), written);

    Answer(unit, EndFrame());
    const std::vector<UnitRunEnd> ends = unit.TakeRunEnds();
    QCOMPARE(ends.size(), std::size_t(1));
    QVERIFY(ends[0].writeComplete);
}

void TestUnitSim::writeCompletion_data()
{
    QTest::addColumn<int>("blocks");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<UnitRunEnd::Cause>("cause");
    QTest::addColumn<bool>("complete");

    QTest::newRow("99 blocks, end frame") << 99 << "end" << UnitRunEnd::EndFrame << true;
    QTest::newRow("99 blocks, abort") << 99 << "abort" << UnitRunEnd::AbortFrame << false;
    QTest::newRow("98 blocks, end frame") << 98 << "end" << UnitRunEnd::EndFrame << false;
    QTest::newRow("40 blocks, abort") << 40 << "abort" << UnitRunEnd::AbortFrame << false;
    QTest::newRow("99 blocks, port closed") << 99 << "close" << UnitRunEnd::LineClosed << false;
    QTest::newRow("99 blocks, new inquiry") << 99 << "inquiry" << UnitRunEnd::NewInquiry << false;
}

void TestUnitSim::writeCompletion()
{
    QFETCH(int, blocks);
    QFETCH(QString, ending);
    QFETCH(UnitRunEnd::Cause, cause);
    QFETCH(bool, complete);

    UnitSimulator unit(Unpaced());
    StartWrite(unit);
    UnitWords expected = CountingMemory();
    for (int i = 0; i < blocks; ++i) {
        expected[std::size_t(i)] = std::uint16_t(0xA000 + i);
        Answer(unit, BlockFrame(expected[std::size_t(i)]));
    }
    if (ending == QLatin1String("end"))
        Answer(unit, EndFrame());
    else if (ending == QLatin1String("abort"))
        Answer(unit, AbortFrame());
    else if (ending == QLatin1String("close"))
        unit.LineClosed();
    else
        Answer(unit, InquiryFrame());

    const std::vector<UnitRunEnd> ends = unit.TakeRunEnds();
    QCOMPARE(ends.size(), std::size_t(1)); // the rest of an abort sequence ends nothing more
    QCOMPARE(ends[0].mode, UnitRunEnd::Write);
    QCOMPARE(ends[0].cause, cause);
    QCOMPARE(ends[0].blocks, blocks);
    QCOMPARE(ends[0].writeComplete, complete);
    // Like the real unit, it keeps the blocks it received, complete or not.
    QCOMPARE(unit.Memory(), expected);
}

void TestUnitSim::repliesAreTimedOnTheWire_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("turnaroundMs");

    QTest::newRow("9600") << 9600 << 0;
    QTest::newRow("1200") << 1200 << 0;
    QTest::newRow("9600, 5 ms turnaround") << 9600 << 5;
}

void TestUnitSim::repliesAreTimedOnTheWire()
{
    QFETCH(int, baud);
    QFETCH(int, turnaroundMs);

    UnitSimConfig config = Unpaced();
    config.baud = baud;
    config.turnaroundMs = turnaroundMs;
    UnitSimulator unit(config);
    const qint64 byteNs = qint64(1000000000) * 10 / baud;
    const qint64 start = 5000 * MsNs;

    // The inquiry takes its own wire time to arrive; then each reply byte takes one.
    const QByteArray inquiry = HexToBytes(InquiryFrame());
    const QByteArray reply = HexToBytes(UnitStatusReply(1));
    unit.Receive(start, inquiry);
    const qint64 firstDue = start + inquiry.size() * byteNs + turnaroundMs * MsNs + byteNs;
    QCOMPARE(unit.NextDueNs(), std::optional<qint64>(firstDue));
    QCOMPARE(unit.TakeDue(firstDue - 1), QByteArray());
    QCOMPARE(unit.TakeDue(firstDue), reply.left(1));
    const qint64 lastDue = firstDue + (reply.size() - 1) * byteNs;
    QCOMPARE(unit.TakeDue(lastDue - 1), reply.mid(1, reply.size() - 2));
    QCOMPARE(unit.TakeDue(lastDue), reply.right(1));
    QCOMPARE(unit.NextDueNs(), std::nullopt);
}

void TestUnitSim::readStreamsWithoutGaps()
{
    UnitSimConfig config = Unpaced();
    config.baud = 9600;
    UnitSimulator unit(config);
    const qint64 byteNs = qint64(1000000000) * 10 / 9600;
    Answer(unit, InquiryFrame(), 0);
    Answer(unit, AccessFrame(DefaultUnitCode), 1000 * MsNs);

    const qint64 at = 2000 * MsNs;
    const QByteArray request = HexToBytes(ReadRequestFrame());
    unit.Receive(at, request);
    QByteArray stream;
    for (std::uint16_t word : CountingMemory())
        stream += HexToBytes(UnitBlockReply(word));
    stream += HexToBytes(UnitEmptyReply());

    // One byte time after another from the end of the request to the last byte.
    const qint64 lastDue = at + (request.size() + stream.size()) * byteNs;
    const QByteArray early = unit.TakeDue(lastDue - 1);
    QCOMPARE(early, stream.chopped(1));
    QCOMPARE(unit.TakeDue(lastDue), stream.right(1));
}

void TestUnitSim::echoComesBackBeforeTheReply()
{
    UnitSimConfig config = Unpaced();
    config.echo = true;
    UnitSimulator unit(config);
    QCOMPARE(Answer(unit, InquiryFrame()), InquiryFrame() + UnitStatusReply(1));
    // The echo follows even a frame the unit does not answer.
    QCOMPARE(Answer(unit, AccessFrame(11111)), AccessFrame(11111));
    // Noise from the program is echoed too and does not hide the frame after it.
    QCOMPARE(Answer(unit, "0102" + AccessFrame(DefaultUnitCode)),
             "0102" + AccessFrame(DefaultUnitCode) + UnitIdentityReply());
}

void TestUnitSim::preambleCount()
{
    UnitSimConfig config = Unpaced();
    config.preamble = 5;
    UnitSimulator unit(config);
    const QByteArray reply = Answer(unit, InquiryFrame());
    QVERIFY(reply.startsWith(QByteArray(piece::Preamble).repeated(5) + piece::UnitAddress));
    QCOMPARE(reply.mid(3 * 2), UnitStatusReply(1)); // the usual two FE and three more
}

void TestUnitSim::unplugAfterFrames()
{
    UnitSimConfig config = Unpaced();
    QVERIFY(!ParseUnitFault(QStringLiteral("unplug-after=3"), config.faults));
    UnitSimulator unit(config);
    Answer(unit, InquiryFrame());
    Answer(unit, AccessFrame(DefaultUnitCode));
    QVERIFY(!unit.Unplugged());
    unit.Receive(0, HexToBytes(ReadRequestFrame()));
    QCOMPARE(BytesToHex(unit.TakeDue(MsNs)), UnitBlockReply(CountingMemory()[0]));
    QVERIFY(unit.Unplugged());
    QCOMPARE(unit.NextDueNs(), std::nullopt);
    QCOMPARE(unit.TakeDue(10000 * MsNs), QByteArray());
}

void TestUnitSim::babbleNeverFormsAReplyAndStopsWithTheRun()
{
    UnitSimConfig config = Unpaced();
    config.baud = 9600;
    QVERIFY(!ParseUnitFault(QStringLiteral("babble"), config.faults));
    UnitSimulator unit(config);
    unit.Receive(0, HexToBytes(InquiryFrame()));

    QByteArray heard;
    for (qint64 t = 0; t <= 10000 * MsNs; t += 7 * MsNs)
        heard += unit.TakeDue(t);
    QVERIFY2(heard.size() > 9000, QByteArray::number(heard.size()).constData()); // about 960 bytes a second
    QVERIFY(!heard.contains(HexToBytes(piece::Preamble)));

    unit.Receive(10000 * MsNs, HexToBytes(AbortFrame()));
    unit.TakeDue(10001 * MsNs);
    QCOMPARE(unit.NextDueNs(), std::nullopt);
    QCOMPARE(unit.TakeRunEnds().at(0).cause, UnitRunEnd::AbortFrame);
}

void TestUnitSim::faultArguments_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("no-unit") << "no-unit" << true;
    QTest::newRow("short-data=0") << "short-data=0" << true;
    QTest::newRow("short-data=98") << "short-data=98" << true;
    QTest::newRow("short-data=99 is no fault") << "short-data=99" << false;
    QTest::newRow("short-data without a number") << "short-data" << false;
    QTest::newRow("bad-block=-1") << "bad-block=-1" << false;
    QTest::newRow("silent-after=x") << "silent-after=x" << false;
    QTest::newRow("noise=0.25") << "noise=0.25" << true;
    QTest::newRow("noise=2") << "noise=2" << false;
    QTest::newRow("babble=1 takes no value") << "babble=1" << false;
    QTest::newRow("unknown kind") << "brownout" << false;
}

void TestUnitSim::faultArguments()
{
    QFETCH(QString, argument);
    QFETCH(bool, accepted);
    UnitFaults faults;
    const std::optional<QString> error = ParseUnitFault(argument, faults);
    QCOMPARE(!error.has_value(), accepted);
    if (error)
        QVERIFY2(error->contains(argument.section(u'=', 0, 0)), qPrintable(*error)); // names the fault
}

void TestUnitSim::sessionAgainstUnit_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<bool>("echo");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("result");
    QTest::addColumn<UnitRunEnd::Cause>("unitSaw");

    const int read = int(CloneMode::Read);
    const int write = int(CloneMode::Write);
    const int code = DefaultUnitCode;
    const auto end = UnitRunEnd::EndFrame;
    const auto abort = UnitRunEnd::AbortFrame;
    auto r = [](CloneResult result) { return int(result); };

    QTest::newRow("read") << read << QStringList() << false << code << r(CloneResult::ReadComplete) << end;
    QTest::newRow("read with echo") << read << QStringList() << true << code << r(CloneResult::ReadComplete)
                                    << end;
    QTest::newRow("write") << write << QStringList() << false << code << r(CloneResult::WriteComplete) << end;
    QTest::newRow("write with echo") << write << QStringList() << true << code
                                     << r(CloneResult::WriteComplete) << end;
    QTest::newRow("read, noise between all frames")
        << read << QStringList{"noise=1"} << false << code << r(CloneResult::ReadComplete) << end;
    QTest::newRow("write, noise between all frames")
        << write << QStringList{"noise=1"} << true << code << r(CloneResult::WriteComplete) << end;
    QTest::newRow("wrong code") << read << QStringList() << false << 12345 << r(CloneResult::AccessCodeError)
                                << abort;
    QTest::newRow("no-unit") << read << QStringList{"no-unit"} << false << code << r(CloneResult::NoUnit)
                             << abort;
    QTest::newRow("wrong-identity") << write << QStringList{"wrong-identity"} << false << code
                                    << r(CloneResult::UnknownUnit) << abort;
    QTest::newRow("short-data=98") << read << QStringList{"short-data=98"} << false << code
                                   << r(CloneResult::NotEnoughData) << end;
    QTest::newRow("short-data=0") << read << QStringList{"short-data=0"} << true << code
                                  << r(CloneResult::NotEnoughData) << end;
    QTest::newRow("extra-blocks") << read << QStringList{"extra-blocks"} << false << code
                                  << r(CloneResult::DataOverflow) << abort;
    QTest::newRow("bad-block=40") << read << QStringList{"bad-block=40"} << false << code
                                  << r(CloneResult::IllegalData) << abort;
    QTest::newRow("silent-after=0") << read << QStringList{"silent-after=0"} << false << code
                                    << r(CloneResult::NoAnswer) << abort;
    QTest::newRow("silent-after=1: silent after the code")
        << read << QStringList{"silent-after=1"} << false << code << r(CloneResult::AccessCodeError) << abort;
    QTest::newRow("silent-after=50, read")
        << read << QStringList{"silent-after=50"} << true << code << r(CloneResult::NoAnswer) << abort;
    QTest::newRow("silent-after=30, write")
        << write << QStringList{"silent-after=30"} << false << code << r(CloneResult::NoAnswer) << abort;
    QTest::newRow("silent-after=100, write: one final acknowledgement")
        << write << QStringList{"silent-after=100"} << false << code << r(CloneResult::NoAnswer) << abort;
    QTest::newRow("crlf-reversed") << read << QStringList{"crlf-reversed"} << false << code
                                   << r(CloneResult::AccessCodeError) << abort;
}

void TestUnitSim::sessionAgainstUnit()
{
    QFETCH(int, mode);
    QFETCH(QStringList, faults);
    QFETCH(bool, echo);
    QFETCH(int, code);
    QFETCH(int, result);
    QFETCH(UnitRunEnd::Cause, unitSaw);

    UnitSimConfig config;
    config.memory = CountingMemory();
    config.echo = echo;
    for (const QString &fault : faults)
        QVERIFY(!ParseUnitFault(fault, config.faults));
    UnitSimulator unit(config);

    UnitModel model;
    UnitWords image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = std::uint16_t(0xFFFF - i);
    model.UnitImage = image;

    QCOMPARE(int(RunSession(unit, CloneMode(mode), code, model)), result);

    const std::vector<UnitRunEnd> ends = unit.TakeRunEnds();
    QCOMPARE(ends.size(), std::size_t(1));
    QCOMPARE(ends[0].cause, unitSaw);
    if (result == int(CloneResult::ReadComplete))
        QCOMPARE(model.LoadBuffer, CountingMemory());
    QCOMPARE(ends[0].writeComplete, result == int(CloneResult::WriteComplete));
    if (result == int(CloneResult::WriteComplete))
        QCOMPARE(unit.Memory(), image);
}

QTEST_GUILESS_MAIN(TestUnitSim)
#include "tst_unit_sim.moc"
