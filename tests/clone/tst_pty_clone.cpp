// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port backend on a real pseudo-terminal: bytes, close, hang-up, held replies, refusals.
#include "clone/clone_frames.h"
#include "clone/clone_session.h"
#include "clone/clone_trace.h"
#include "clone/qt_serial_port.h"
#include "test_files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vireo;

class TestPtyClone : public QObject {
    Q_OBJECT
  private slots:
    void portOverATerminal()
    {
        const int far = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(far >= 0 && ::grantpt(far) == 0 && ::unlockpt(far) == 0);
        const QString device = QString::fromLocal8Bit(::ptsname(far));
        QtSerialPort port;
        QSignalSpy lost(&port, &SerialPort::portLost);
        for (int run = 0; run < 2; ++run) { // the second run finds the port closed by the first
            QVERIFY2(port.Open(device, 9600), qPrintable(port.FailureText()));
            QCOMPARE(port.Write(QByteArray("\xFE\xFD")), qint64(2));
            QVERIFY(port.WaitUntilSent(500));
            char heard[8] = {};
            QCOMPARE(::read(far, heard, sizeof heard), ssize_t(2));
            QCOMPARE(QByteArray(heard), QByteArray("\xFE\xFD"));
            QCOMPARE(::write(far, "\x01\x02", 2), ssize_t(2));
            QTRY_COMPARE(port.BytesWaiting(), qint64(2));
            QCOMPARE(port.ReadAll(), QByteArray("\x01\x02"));
            port.Close();
            QVERIFY(!port.IsOpen());
        }
        QVERIFY(port.Open(device, 9600));
        QByteArray seen; // a byte that arrives while readyRead is handled is announced again
        connect(&port, &SerialPort::readyRead, &port, [&] {
            seen += port.ReadAll();
            if (seen == "\x03" && ::write(far, "\x04", 1) == 1 && (QTest::qSleep(20), true))
                port.AwaitBytes(1); // takes the byte in within this handler
        });
        QCOMPARE(::write(far, "\x03", 1), ssize_t(1));
        QTRY_COMPARE_WITH_TIMEOUT(seen, QByteArray("\x03\x04"), 1500); // not left to the time-out
        ::close(far);
        QTRY_COMPARE(lost.size(), 1);
        QVERIFY(!port.IsOpen());
        QCOMPARE(port.Write(QByteArray("\xFE")), qint64(-1));
    }

    // Awaiting a reply the line holds bytes back, yet all are seen before a time-out is decided.
    void heldBackReply()
    {
        const QByteArray whole = HexToBytes(UnitStatusReply(1));
        for (const QByteArray &reply : {whole.first(9), whole}) { // short: no answer; whole: wrong code
            const int far = ::posix_openpt(O_RDWR | O_NOCTTY);
            QVERIFY(far >= 0 && ::grantpt(far) == 0 && ::unlockpt(far) == 0);
            UnitModel model;
            QtSerialPort port;
            SteadyCloneClock clock;
            CloneSession session(model, port, clock);
            QTemporaryDir dir;
            CloneTrace trace;
            QVERIFY(trace.Open(dir.filePath("t")));
            session.SetTrace(&trace);
            QSignalSpy ended(&session, &CloneSession::finished);
            QVERIFY(session.StartClone({CloneMode::Read, QString::fromLocal8Bit(::ptsname(far)), 9600, 0}));
            termios line{}; // the far end of a pseudo-terminal reads the line's settings (zero if not)
            ::tcgetattr(far, &line);
            QCOMPARE(int(line.c_cc[VMIN]), 10); // the status reply's head and end mark
            QCOMPARE(::write(far, reply.constData(), size_t(reply.size())), ssize_t(reply.size()));
            const CloneResult result = reply == whole ? CloneResult::AccessCodeError : CloneResult::NoAnswer;
            QTRY_COMPARE_WITH_TIMEOUT(ended.value(0).value(0).value<CloneResult>(), result, 10000);
            QVERIFY(test::ReadFile(dir.filePath("t")).contains(" RX FE FE EF EE E8 20 24 00 00"));
            ::close(far);
        }
    }

    // A held port is "in use" by its lock's holder; a refusing device is "permission denied".
    void refusedPort_data()
    {
        QTest::addColumn<bool>("held"); // else the device's mode refuses everyone
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text"); // after the device's name
        const QString self = QString::number(QCoreApplication::applicationPid());
        QTest::newRow("held: in use")
            << true << int(PortFailure::InUse) << ": in use by another program (process " + self + ", lock ";
        QTest::newRow("mode 0000: permission denied")
            << false << int(PortFailure::PermissionDenied)
            << ": permission denied; the device gives no group read and write access; a udev rule can "
               "give it to the dialout group (";
    }
    void refusedPort()
    {
        QFETCH(bool, held);
        QFETCH(int, kind);
        QFETCH(QString, text);
        const int far = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(far >= 0 && ::grantpt(far) == 0 && ::unlockpt(far) == 0);
        const QString device = QString::fromLocal8Bit(::ptsname(far));
        QtSerialPort holder, port;
        QVERIFY(!held || holder.Open(device, 9600));
        QVERIFY(held || ::chmod(::ptsname(far), 0) == 0);
        if (!held && ::geteuid() == 0)
            QSKIP("root opens a device whatever its mode says");
        QVERIFY(!port.Open(device, 9600));
        QCOMPARE(int(port.FailureKind()), kind);
        QVERIFY2(port.FailureText().startsWith(device + text), qPrintable(port.FailureText()));
        holder.Close();
        ::close(far);
    }

    // A lock its holder left behind, empty or naming an ended process, is told from a live one.
    void staleLockNamed()
    {
        QTemporaryDir dir;
        for (const QByteArray &lock :
             {QByteArray(""), QByteArray("2147483000\nx\n")}) { // empty, ended holder
            QVERIFY(test::WriteFile(dir.filePath("LCK..pts_7"), lock));
            QCOMPARE(PortHeldText("/dev/pts/7", dir.path()),
                     "held by a stale lock " + dir.filePath("LCK..pts_7") +
                         " that an interrupted run left; it clears within 30 s");
        }
    }
};

QTEST_GUILESS_MAIN(TestPtyClone)
#include "tst_pty_clone.moc"
