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
    void readStreamsMemoryWithoutGaps();
    void writeCompletion_data();
    void writeCompletion();
    void echoComesBackBeforeTheReply();
    void faultArguments_data();
    void faultArguments();
};

void TestUnitSim::readStreamsMemoryWithoutGaps()
{
    UnitSimulator unit(Config({}, 9600));
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
    QCOMPARE(unit.TakeDue(lastDue - 1), stream.chopped(1));
    QCOMPARE(unit.TakeDue(lastDue), stream.right(1));

    QCOMPARE(Answer(unit, EndFrame(), lastDue), QByteArray());
    const std::vector<UnitRunEnd> ends = unit.TakeRunEnds();
    QCOMPARE(ends.size(), std::size_t(1));
    QCOMPARE(ends[0].mode, UnitRunEnd::Read);
    QCOMPARE(ends[0].cause, UnitRunEnd::EndFrame);
    QCOMPARE(ends[0].blocks, 99);
    QVERIFY(!ends[0].writeComplete);
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

void TestUnitSim::faultArguments_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("short-data=98") << "short-data=98" << true;
    QTest::newRow("short-data=99 is no fault") << "short-data=99" << false;
    QTest::newRow("short-data without a number") << "short-data" << false;
    QTest::newRow("noise=0.25") << "noise=0.25" << true;
    QTest::newRow("noise=2") << "noise=2" << false;
    QTest::newRow("babble=1 takes no value") << "babble=1" << false;
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
