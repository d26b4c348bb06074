// SPDX-License-Identifier: GPL-3.0-or-later
// The QSerialPort backend on a real pseudo-terminal (whole runs over one: the command-line
// clone tests): bytes both ways, closed when asked, a hung-up line reported as lost once.
#include "clone/qt_serial_port.h"

#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
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
        ::close(far);
        QTRY_COMPARE(lost.size(), 1);
        QVERIFY(!port.IsOpen());
        QCOMPARE(port.Write(QByteArray("\xFE")), qint64(-1));
    }
};

QTEST_GUILESS_MAIN(TestPtyClone)
#include "tst_pty_clone.moc"
