// SPDX-License-Identifier: GPL-3.0-or-later
// Complete clone runs over a real pseudo-terminal pair with the QSerialPort
// backend and the session driving itself: the session opens the terminal
// side, the simulated unit answers on the controlling side.
#include "clone/clone_session.h"
#include "clone/qt_serial_port.h"
#include "unit_simulator.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace vireo;

namespace {

/** The simulated unit on the controlling side of a pseudo-terminal. */
class PtyUnit : public QObject {
  public:
    UnitSimulator unit;

    explicit PtyUnit(UnitSimConfig config) : unit(std::move(config))
    {
        m_clock.start();
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)
            return;
        m_device = QString::fromLocal8Bit(::ptsname(m_fd));
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { Read(); });
        m_out.setSingleShot(true);
        connect(&m_out, &QTimer::timeout, this, [this] { Send(); });
    }
    ~PtyUnit() override { HangUp(); }

    QString Device() const { return m_device; }
    /// Takes in what the program sent last, still waiting in the line after its run.
    void Read()
    {
        char chunk[512];
        ssize_t n;
        while (m_fd >= 0 && (n = ::read(m_fd, chunk, sizeof chunk)) > 0)
            unit.Receive(m_clock.nsecsElapsed(), QByteArrayView(chunk, n));
        Send();
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

    void Send()
    {
        const QByteArray due = unit.TakeDue(m_clock.nsecsElapsed());
        if (m_fd >= 0 && !due.isEmpty() && ::write(m_fd, due.constData(), size_t(due.size())) != due.size())
            QFAIL("the terminal did not take the unit's bytes");
        if (unit.Unplugged())
            return HangUp();
        if (const std::optional<qint64> next = unit.NextDueNs())
            m_out.start(int(std::max<qint64>(0, *next - m_clock.nsecsElapsed()) / 1000000));
    }

    QElapsedTimer m_clock;
    int m_fd = -1;
    QString m_device;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_out;
};

struct Link {
    UnitModel model;
    QtSerialPort port;
    SteadyCloneClock clock;
    CloneSession session{model, port, clock};
    CloneResult Run(CloneMode mode, const PtyUnit &pty)
    {
        return RunCloneToEnd(session, {mode, pty.Device(), 9600, DefaultUnitCode});
    }
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
    UnitSimConfig config;
    config.baud = 0;
    config.echo = true;
    for (int i = 0; i < 99; ++i)
        config.memory[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0x1000 + i * 7);
    PtyUnit pty(config);
    QVERIFY(!pty.Device().isEmpty());
    Link link;
    QCOMPARE(link.Run(CloneMode::Read, pty), CloneResult::ReadComplete);
    QCOMPARE(link.model.LoadBuffer, config.memory);
    QVERIFY(!link.port.IsOpen());
    for (int i = 0; i < 99; ++i)
        link.model.UnitImage[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0x0101 * i);
    QCOMPARE(link.Run(CloneMode::Write, pty), CloneResult::WriteComplete);
    QCOMPARE(pty.unit.Memory(), link.model.UnitImage);
    pty.Read();
    QVERIFY(pty.unit.TakeRunEnds().back().writeComplete); // ended by F-END
}

// Ended by the port's own report of the lost line, which closed it.
void TestPtyClone::lineHungUp()
{
    UnitSimConfig config;
    config.baud = 0;
    config.faults.unplugAfter = 3;
    PtyUnit pty(config);
    QVERIFY(!pty.Device().isEmpty());
    Link link;
    QCOMPARE(link.Run(CloneMode::Read, pty), CloneResult::FrameNotTaken);
    QVERIFY(!link.session.PortErrorText().isEmpty());
    QVERIFY(!link.port.IsOpen());
}

QTEST_GUILESS_MAIN(TestPtyClone)
#include "tst_pty_clone.moc"
