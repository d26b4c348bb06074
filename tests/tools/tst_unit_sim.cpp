// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated unit: wire timing, write completion, its link and exit statuses.
#include "cli_run.h"
#include "unit_simulator.h"

#include "clone/clone_frames.h"
#include "clone/qt_serial_port.h"
#include "model/hex_text.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo;

namespace {

constexpr qint64 MsNs = 1000000;

// A unit with counting memory (and one word FFFF) and no pacing unless a speed is given.
UnitSimConfig Config(int baud = 0)
{
    UnitSimConfig config;
    for (std::size_t i = 0; i < config.memory.size(); ++i)
        config.memory[i] = std::uint16_t(0x1111 * (i % 16) + i);
    config.memory[7] = 0xFFFF;
    config.baud = baud;
    return config;
}

// Hands the unit a program frame and returns all it sends in answer (both hexadecimal text).
QByteArray Answer(UnitSimulator &unit, const QByteArray &frameHex, qint64 at = 0)
{
    unit.Receive(at, HexToBytes(frameHex));
    return BytesToHex(unit.TakeDue(at + 3600 * 1000 * MsNs));
}

} // namespace

Q_DECLARE_METATYPE(UnitRunEnd::Cause)

class TestUnitSim : public QObject {
    Q_OBJECT

  private slots:
    void readStreamsMemoryWithoutGaps()
    {
        UnitSimulator unit(Config(9600));
        const qint64 byteNs = qint64(1000000000) * 10 / 9600;
        Answer(unit, InquiryFrame());
        Answer(unit, AccessFrame(DefaultUnitCode), 1000 * MsNs);

        const qint64 at = 2000 * MsNs;
        const QByteArray request = HexToBytes(ReadRequestFrame());
        unit.Receive(at, request);
        QByteArray stream;
        for (std::uint16_t word : Config().memory)
            stream += HexToBytes(UnitBlockReply(word));
        stream += HexToBytes(UnitEmptyReply());

        // One byte time after another from the end of the request to the last byte.
        const qint64 lastDue = at + (request.size() + stream.size()) * byteNs;
        QCOMPARE(unit.TakeDue(lastDue - 1), stream.chopped(1));
        QCOMPARE(unit.TakeDue(lastDue), stream.right(1));
    }

    void writeCompletion_data()
    {
        QTest::addColumn<int>("blocks");
        QTest::addColumn<UnitRunEnd::Cause>("cause");
        QTest::addColumn<bool>("complete");

        QTest::newRow("99 blocks, end frame") << 99 << UnitRunEnd::EndFrame << true;
        QTest::newRow("99 blocks, abort") << 99 << UnitRunEnd::AbortFrame << false;
        QTest::newRow("98 blocks, end frame") << 98 << UnitRunEnd::EndFrame << false;
    }

    void writeCompletion()
    {
        QFETCH(int, blocks);
        QFETCH(UnitRunEnd::Cause, cause);
        QFETCH(bool, complete);

        UnitSimulator unit(Config());
        Answer(unit, InquiryFrame());
        Answer(unit, AccessFrame(DefaultUnitCode));
        Answer(unit, WriteRequestFrame());
        UnitWords expected = Config().memory;
        for (int i = 0; i < blocks; ++i) // the last block is answered twice
            QCOMPARE(Answer(unit, BlockFrame(expected[std::size_t(i)] = std::uint16_t(0xFFFF - 3 * i))),
                     UnitEmptyReply().repeated(i == 98 ? 2 : 1));
        if (blocks == 99)
            QCOMPARE(Answer(unit, BlockFrame(0x1234)), QByteArray()); // a hundredth block is not taken
        Answer(unit, cause == UnitRunEnd::EndFrame ? EndFrame() : AbortFrame());

        const std::vector<UnitRunEnd> ends = unit.TakeRunEnds();
        QCOMPARE(ends.size(), std::size_t(1)); // the rest of an abort sequence ends nothing more
        QVERIFY(ends[0].mode == UnitRunEnd::Write && ends[0].cause == cause && ends[0].blocks == blocks);
        QCOMPARE(ends[0].writeComplete, complete);
        QCOMPARE(unit.Memory(), expected); // it keeps the blocks it received, complete or not
    }

    // A stale link is replaced; with --once the unit answers, then leaves and removes its link at the close.
    void linkLivesWithTheProcess()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("wren"));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
        QProcess sim;
        sim.start(vireo::test::SimProgram, QStringList{"--link", link, "--once"});
        QVERIFY(sim.waitForReadyRead(5000));
        const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QCOMPARE(QFileInfo(link).symLinkTarget(), device);
        QtSerialPort port;
        QVERIFY2(port.Open(link, 9600), qPrintable(port.FailureText()));
        QCOMPARE(port.Write(HexToBytes(InquiryFrame())), qint64(21));
        QByteArray heard;
        QTRY_VERIFY_WITH_TIMEOUT(!(heard += port.ReadAll()).isEmpty(), 5000);
        port.Close();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // the option parsing shared with vireo-cli is tested there
        // clang-format off
        QTest::newRow("version") << QStringList{"--version"} << 0 << "vireo-unit-sim " VIREO_VERSION "\n";
        QTest::newRow("unknown fault") << QStringList{"--fault", "melt"} << 1 << "unknown fault \"melt\"";
        QTest::newRow("save over the starting memory") << QStringList{"--memory", "/tmp/u.st2", "--save", "/tmp/../tmp/u.st2"} << 1 << "--save must name another file";
        QTest::newRow("not a serial device") << QStringList{"--device", "/dev/null"} << 2 << "not a serial device";
        // clang-format on
    }

    void exitStatus()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QProcess sim;
        sim.start(vireo::test::SimProgram, args);
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), status);
        const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
        const QString out = QString::fromLocal8Bit(sim.readAllStandardOutput());
        QVERIFY2(status == 0 ? out.startsWith(message) && err.isEmpty()
                             : err.contains(message) && out.isEmpty(),
                 qPrintable(err));
        QCOMPARE(err.contains(QLatin1String("usage: vireo-unit-sim")), status == 1);
    }
};

QTEST_GUILESS_MAIN(TestUnitSim)
#include "tst_unit_sim.moc"
