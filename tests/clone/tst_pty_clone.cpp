// SPDX-License-Identifier: GPL-3.0-or-later
// Complete clone runs over a real pseudo-terminal pair with the QSerialPort
// backend: the session opens the terminal side, a small unit in the test
// answers on the controlling side.
#include "clone/fake_serial_port.h"
#include "clone/qt_serial_port.h"

#include <QSocketNotifier>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace vireo;
using vireo::test::FakeUnit;

namespace {

/** A unit on the controlling side of a pseudo-terminal. */
class PtyUnit : public QObject {
  public:
    FakeUnit unit;
    HostFrame::Kind hangUpAfter = HostFrame::Unknown; ///< close the line after this frame

    PtyUnit()
    {
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)
            return;
        m_device = QString::fromLocal8Bit(::ptsname(m_fd));
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { Readable(); });
    }
    ~PtyUnit() override { HangUp(); }

    QString Device() const { return m_device; }
    /// Takes in what the program sent last: its port hands every frame to the
    /// system at once, so it waits in the line even when the run is over.
    void Drain()
    {
        while (ReadChunk()) {
        }
    }

  private:
    void HangUp()
    {
        if (m_notifier)
            m_notifier->setEnabled(false);
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    void Send(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (m_fd >= 0 && done < bytes.size()) {
            const ssize_t n =
                ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0)
                done += n;
            else
                QTest::qWait(1); // the terminal's buffer is full: let the program read
        }
    }

    void Readable()
    {
        if (!ReadChunk()) {
            // The terminal side was closed: nothing to read until it opens again.
            m_notifier->setEnabled(false);
            QTimer::singleShot(5, this, [this] {
                if (m_fd >= 0)
                    m_notifier->setEnabled(true);
            });
        }
    }

    // Reads and answers what waits in the line; false when nothing did.
    bool ReadChunk()
    {
        char chunk[512];
        const ssize_t n = m_fd >= 0 ? ::read(m_fd, chunk, sizeof chunk) : -1;
        if (n <= 0)
            return false;
        m_buffer.append(chunk, n);
        qsizetype end;
        while ((end = m_buffer.indexOf('\xFD')) >= 0) {
            const QByteArray frame = m_buffer.left(end + 1);
            m_buffer.remove(0, end + 1);
            if (ParseHostFrame(frame).kind == hangUpAfter) {
                HangUp();
                return true;
            }
            Send(unit.Reply(frame));
        }
        return true;
    }

    int m_fd = -1;
    QString m_device;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_buffer;
};

struct Link {
    UnitModel model;
    QtSerialPort port;
    SteadyCloneClock clock;
    CloneSession session{model, port, clock};
};

} // namespace

class TestPtyClone : public QObject {
    Q_OBJECT
  private slots:
    void readThenWrite();
    void lineHungUp();
};

void TestPtyClone::readThenWrite()
{
    PtyUnit pty;
    QVERIFY(!pty.Device().isEmpty());
    Link link;
    QCOMPARE(RunCloneToEnd(link.session, {CloneMode::Read, pty.Device(), 115200, 58206}),
             CloneResult::ReadComplete);
    QCOMPARE(link.model.LoadBuffer, pty.unit.memory);
    QVERIFY(!link.port.IsOpen());
    for (int i = 0; i < 99; ++i)
        link.model.UnitImage[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0x0101 * i);
    QCOMPARE(RunCloneToEnd(link.session, {CloneMode::Write, pty.Device(), 9600, 58206}),
             CloneResult::WriteComplete);
    const UnitWords &image = link.model.UnitImage;
    QCOMPARE(pty.unit.received, QList<std::uint16_t>(image.begin(), image.end()));
    pty.Drain();
    QCOMPARE(pty.unit.heard.last(), HostFrame::End);
}

// Ended by the port's own report of the lost line, which closed it.
void TestPtyClone::lineHungUp()
{
    PtyUnit pty;
    QVERIFY(!pty.Device().isEmpty());
    pty.hangUpAfter = HostFrame::ReadRequest;
    Link link;
    QCOMPARE(RunCloneToEnd(link.session, {CloneMode::Read, pty.Device(), 9600, 58206}),
             CloneResult::NoAnswer);
    QVERIFY(!link.session.PortErrorText().isEmpty());
    QVERIFY(!link.port.IsOpen());
}

QTEST_GUILESS_MAIN(TestPtyClone)
#include "tst_pty_clone.moc"
