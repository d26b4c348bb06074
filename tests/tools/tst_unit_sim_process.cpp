// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-unit-sim as a process: the pseudo-terminal it prints, its link, an
// answer through the program's serial port layer, and its exit statuses.
#include "clone/clone_frames.h"
#include "clone/qt_serial_port.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo;

namespace {

const QString Sim = QStringLiteral(VIREO_BIN_DIR "/vireo-unit-sim");

// Starts the simulator and returns the device of its first line of output.
QString StartSim(QProcess &process, const QStringList &args)
{
    process.start(Sim, args);
    if (!process.waitForStarted(5000))
        return {};
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(5000))
            return {};
    }
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

} // namespace

class TestUnitSimProcess : public QObject {
    Q_OBJECT

  private slots:
    void linkLivesWithTheProcess_data();
    void linkLivesWithTheProcess();
    void exitStatus_data();
    void exitStatus();
};

void TestUnitSimProcess::linkLivesWithTheProcess_data()
{
    QTest::addColumn<bool>("once");
    QTest::newRow("--once: answers, then leaves when the port closes") << true;
    QTest::newRow("terminated: a stale link is replaced, then removed") << false;
}

void TestUnitSimProcess::linkLivesWithTheProcess()
{
    QFETCH(bool, once);
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("wren"));
    if (!once)
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
    QProcess sim;
    const QString device = StartSim(sim, once ? QStringList{"--link", link, "--baud", "0", "--once"}
                                              : QStringList{"--link", link});
    QVERIFY2(device.startsWith(QLatin1String("/dev/")), qPrintable(device));
    QCOMPARE(QFileInfo(link).symLinkTarget(), device);

    if (once) {
        QtSerialPort port;
        QVERIFY2(port.Open(link, 9600), qPrintable(port.FailureText()));
        QCOMPARE(port.Write(HexToBytes(InquiryFrame())), qint64(21));
        QByteArray heard;
        QTRY_VERIFY_WITH_TIMEOUT((heard += port.ReadAll()).contains(HexToBytes(UnitStatusReply(1))), 5000);
        QCOMPARE(BytesToHex(heard), UnitStatusReply(1));
        port.Close();
    } else {
        sim.terminate();
    }
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestUnitSimProcess::exitStatus_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("help") << QStringList{"--help"} << 0 << "";
    QTest::newRow("unknown option") << QStringList{"--speed", "9600"} << 1 << "Unknown option 'speed'";
    QTest::newRow("repeated option") << QStringList{"--code", "1", "--code", "2"} << 1
                                     << "--code is given more";
    QTest::newRow("unknown fault") << QStringList{"--fault", "melt"} << 1 << "unknown fault \"melt\"";
    QTest::newRow("device and link") << QStringList{"--device", "/dev/null", "--link", "/tmp/x"} << 1
                                     << "cannot be combined";
    QTest::newRow("missing memory file")
        << QStringList{"--memory", "/nonexistent/unit.st2"} << 2 << "cannot open /nonexistent/unit.st2";
    QTest::newRow("save over the starting memory")
        << QStringList{"--memory", "/tmp/unit.st2", "--save", "/tmp/../tmp/unit.st2"} << 1
        << "--save must name another file than --memory";
    QTest::newRow("save folder missing")
        << QStringList{"--save", "/nonexistent/out.st2"} << 2 << "cannot save to /nonexistent/out.st2";
    QTest::newRow("not a serial device")
        << QStringList{"--device", "/dev/null"} << 2 << "/dev/null is not a serial device";
}

void TestUnitSimProcess::exitStatus()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);

    QProcess sim;
    sim.start(Sim, args);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), status);
    const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
    QVERIFY2(err.contains(message), qPrintable(err));
    QCOMPARE(err.contains(QLatin1String("usage: vireo-unit-sim")), status == 1);
    // Help alone goes to standard output.
    QCOMPARE(sim.readAllStandardOutput().startsWith("usage: vireo-unit-sim"), status == 0);
}

QTEST_GUILESS_MAIN(TestUnitSimProcess)
#include "tst_unit_sim_process.moc"
