// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated unit without a terminal: its answers frame by frame, the wire
// timing of its output and the effect of its faults on them. Each fault's
// effect on the program is shown end to end by the vireo-cli tests.
#include "unit_simulator.h"

#include "clone/clone_frames.h"
#include "model/hex_text.h"

#include <QTest>

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

// A unit with counting memory, the faults given, and no pacing unless a speed is given.
UnitSimConfig Config(const QStringList &faults = {}, int baud = 0)
{
    UnitSimConfig config;
    config.memory = CountingMemory();
    config.baud = baud;
    for (const QString &fault : faults) {
        if (const auto error = ParseUnitFault(fault, config.faults))
            qFatal("%s", qPrintable(*error));
    }
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
    QByteArray heard = Answer(unit, InquiryFrame()); // one frame after the other
    heard += Answer(unit, AccessFrame(DefaultUnitCode));
    return heard + Answer(unit, WriteRequestFrame());
}

} // namespace

Q_DECLARE_METATYPE(UnitRunEnd::Cause)

class TestUnitSim : public QObject {
    Q_OBJECT

  private slots:
    void handshake_data();
    void handshake();
    void readStreamsMemoryWithoutGaps_data();
    void readStreamsMemoryWithoutGaps();
    void writeCompletion_data();
    void writeCompletion();
    void repliesAreTimedOnTheWire();
    void echoComesBackBeforeTheReply();
    void preambleCount();
    void unplugAfterFrames();
    void babbleNeverFormsAReplyAndStopsWithTheRun();
    void faultArguments_data();
    void faultArguments();
};

void TestUnitSim::handshake_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("sentCode");
    QTest::addColumn<QByteArray>("statusReply");
    QTest::addColumn<QByteArray>("identityReply");

    const QByteArray present = UnitStatusReply(1);
    QTest::newRow("right code") << QStringList() << 42 << present << UnitIdentityReply();
    QTest::newRow("code 00042 is not 42000") << QStringList() << 42000 << present << QByteArray();
    QTest::newRow("no unit: status 00, access unanswered")
        << QStringList{"no-unit"} << 42 << UnitStatusReply(0) << QByteArray();
}

void TestUnitSim::handshake()
{
    QFETCH(QStringList, faults);
    QFETCH(int, sentCode);
    QFETCH(QByteArray, statusReply);
    QFETCH(QByteArray, identityReply);

    UnitSimConfig config = Config(faults);
    config.accessCode = 42;
    UnitSimulator unit(config);
    QCOMPARE(Answer(unit, AccessFrame(sentCode)), QByteArray()); // nothing before an inquiry
    QCOMPARE(Answer(unit, InquiryFrame()), statusReply);
    QCOMPARE(Answer(unit, AccessFrame(sentCode)), identityReply);
    QVERIFY(unit.RunActive());
}

void TestUnitSim::readStreamsMemoryWithoutGaps_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("stuckWord"); // reads back with its lowest bit set; -1: none
    QTest::newRow("as stored") << QStringList() << -1;
    QTest::newRow("stuck-bit=4: word 4 reads back with bit 0 set") << QStringList{"stuck-bit=4"} << 4;
}

void TestUnitSim::readStreamsMemoryWithoutGaps()
{
    QFETCH(QStringList, faults);
    QFETCH(int, stuckWord);
    UnitSimulator unit(Config(faults, 9600));
    const qint64 byteNs = qint64(1000000000) * 10 / 9600;
    Answer(unit, InquiryFrame(), 0);
    Answer(unit, AccessFrame(DefaultUnitCode), 1000 * MsNs);

    const qint64 at = 2000 * MsNs;
    const QByteArray request = HexToBytes(ReadRequestFrame());
    unit.Receive(at, request);
    UnitWords memory = CountingMemory();
    if (stuckWord >= 0)
        memory[std::size_t(stuckWord)] |= 0x0001;
    QByteArray stream;
    for (std::uint16_t word : memory)
        stream += HexToBytes(UnitBlockReply(word));
    stream += HexToBytes(UnitEmptyReply());

    // One byte time after another from the end of the request to the last byte.
    const qint64 lastDue = at + (request.size() + stream.size()) * byteNs;
    QCOMPARE(unit.TakeDue(lastDue - 1), stream.chopped(1));
    QCOMPARE(unit.TakeDue(lastDue), stream.right(1));

    QCOMPARE(Answer(unit, EndFrame(), lastDue), QByteArray());
    const std::vector<UnitRunEnd> ends = unit.TakeRunEnds();
    QCOMPARE(ends.size(), std::size_t(1));
    QCOMPARE(ends[0].mode, UnitRunEnd::Read);
    QCOMPARE(ends[0].cause, UnitRunEnd::EndFrame);
    QCOMPARE(ends[0].blocks, 99);
    QVERIFY(!ends[0].writeComplete);
    QCOMPARE(unit.Memory(), CountingMemory()); // a fault of the read, not of the stored word
}

void TestUnitSim::writeCompletion_data()
{
    QTest::addColumn<int>("blocks");
    QTest::addColumn<UnitRunEnd::Cause>("cause");
    QTest::addColumn<bool>("complete");

    QTest::newRow("99 blocks, end frame") << 99 << UnitRunEnd::EndFrame << true;
    QTest::newRow("99 blocks, abort") << 99 << UnitRunEnd::AbortFrame << false;
    QTest::newRow("98 blocks, end frame") << 98 << UnitRunEnd::EndFrame << false;
    QTest::newRow("99 blocks, port closed") << 99 << UnitRunEnd::LineClosed << false;
    QTest::newRow("99 blocks, new inquiry") << 99 << UnitRunEnd::NewInquiry << false;
}

void TestUnitSim::writeCompletion()
{
    QFETCH(int, blocks);
    QFETCH(UnitRunEnd::Cause, cause);
    QFETCH(bool, complete);

    UnitSimulator unit(Config());
    QCOMPARE(StartWrite(unit), UnitStatusReply(1) + UnitIdentityReply()); // no answer to the write request
    UnitWords expected = CountingMemory();
    for (int i = 0; i < blocks; ++i) {
        expected[std::size_t(i)] = std::uint16_t(0xFFFF - 3 * i);
        QCOMPARE(Answer(unit, BlockFrame(expected[std::size_t(i)])),
                 UnitEmptyReply().repeated(i == 98 ? 2 : 1));
    }
    if (blocks == 99)
        QCOMPARE(Answer(unit, BlockFrame(0x1234)), QByteArray()); // a hundredth block is not taken
    if (cause == UnitRunEnd::LineClosed)
        unit.LineClosed();
    else
        Answer(unit, cause == UnitRunEnd::EndFrame     ? EndFrame()
                     : cause == UnitRunEnd::AbortFrame ? AbortFrame()
                                                       : InquiryFrame());

    const std::vector<UnitRunEnd> ends = unit.TakeRunEnds();
    QCOMPARE(ends.size(), std::size_t(1)); // the rest of an abort sequence ends nothing more
    QCOMPARE(ends[0].mode, UnitRunEnd::Write);
    QCOMPARE(ends[0].cause, cause);
    QCOMPARE(ends[0].blocks, blocks);
    QCOMPARE(ends[0].writeComplete, complete);
    QCOMPARE(unit.Memory(), expected); // it keeps the blocks it received, complete or not
}

void TestUnitSim::repliesAreTimedOnTheWire()
{
    const int turnaroundMs = 5;
    UnitSimConfig config = Config({}, 1200);
    config.turnaroundMs = turnaroundMs;
    UnitSimulator unit(config);
    const qint64 byteNs = qint64(1000000000) * 10 / 1200;
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

void TestUnitSim::echoComesBackBeforeTheReply()
{
    UnitSimConfig config = Config();
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
    UnitSimConfig config = Config();
    config.preamble = 5;
    UnitSimulator unit(config);
    QCOMPARE(Answer(unit, InquiryFrame()), "FEFEFE" + UnitStatusReply(1)); // the usual two FE and three more
}

void TestUnitSim::unplugAfterFrames()
{
    UnitSimulator unit(Config({"unplug-after=3"}));
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
    UnitSimulator unit(Config({"babble"}, 9600));
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
    QTest::newRow("short-data=98") << "short-data=98" << true;
    QTest::newRow("short-data=99 is no fault") << "short-data=99" << false;
    QTest::newRow("short-data without a number") << "short-data" << false;
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

QTEST_GUILESS_MAIN(TestUnitSim)
#include "tst_unit_sim.moc"
