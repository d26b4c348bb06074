// SPDX-License-Identifier: GPL-3.0-or-later
// Complete clone runs over a real pseudo-terminal pair with the QSerialPort
// backend and the session driving itself: the session opens the terminal
// side, the simulated unit answers on the controlling side.
#include "clone/fake_serial_port.h"
#include "clone/qt_serial_port.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTest>

Q_DECLARE_METATYPE(vireo::CloneMode)

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace vireo;
using vireo::test::QuickUnit;

namespace {

/** The simulated unit on the controlling side of a pseudo-terminal. */
class PtyUnit : public QObject {
  public:
    UnitSimulator unit;
    QString device;

    explicit PtyUnit(UnitSimConfig config) : unit(std::move(config))
    {
        m_clock.start();
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)
            return;
        device = QString::fromLocal8Bit(::ptsname(m_fd));
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { Read(); });
    }
    ~PtyUnit() override { HangUp(); }

    /// Takes in what the program sent last, still waiting in the line after its run.
    void Read()
    {
        char chunk[512];
        for (ssize_t n; m_fd >= 0 && (n = ::read(m_fd, chunk, sizeof chunk)) > 0;)
            unit.Receive(m_clock.nsecsElapsed(), QByteArrayView(chunk, n));
        Send();
    }

  private:
    void HangUp()
    {
        if (m_notifier)
            m_notifier->setEnabled(false);
        if (m_fd >= 0)
            ::close(std::exchange(m_fd, -1));
    }

    void Send()
    {
        const QByteArray due = unit.TakeDue(m_clock.nsecsElapsed());
        if (m_fd >= 0 && !due.isEmpty() && ::write(m_fd, due.constData(), size_t(due.size())) != due.size())
            QFAIL("the terminal did not take the unit's bytes");
        if (unit.Unplugged()) // the unit answers at once: all it has to say is due now
            HangUp();
    }

    QElapsedTimer m_clock;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace

class TestPtyClone : public QObject {
    Q_OBJECT
  private slots:
    void runs_data()
    {
        QTest::addColumn<CloneMode>("mode");
        QTest::addColumn<int>("unplugAfter"); // reply frames before the unit hangs up; -1: never
        QTest::addColumn<CloneResult>("result");
        QTest::newRow("read") << CloneMode::Read << -1 << CloneResult::ReadComplete;
        QTest::newRow("write") << CloneMode::Write << -1 << CloneResult::WriteComplete;
        // Ended by the port's own report of the lost line, which closed it.
        QTest::newRow("line hung up") << CloneMode::Read << 3 << CloneResult::FrameNotTaken;
    }

    void runs()
    {
        QFETCH(CloneMode, mode);
        QFETCH(int, unplugAfter);
        QFETCH(CloneResult, result);
        UnitSimConfig config = QuickUnit();
        config.echo = true;
        if (unplugAfter >= 0)
            config.faults.unplugAfter = unplugAfter;
        PtyUnit pty(config);
        QVERIFY(!pty.device.isEmpty());
        UnitModel model;
        model.UnitImage.fill(0x0BAD);
        QtSerialPort port;
        SteadyCloneClock clock;
        CloneSession session(model, port, clock);
        QCOMPARE(RunCloneToEnd(session, {mode, pty.device, 9600, DefaultUnitCode}), result);
        QVERIFY(!port.IsOpen());
        QCOMPARE(session.PortErrorText().isEmpty(), unplugAfter < 0);
        if (result == CloneResult::ReadComplete)
            QCOMPARE(model.LoadBuffer, config.memory);
        if (result == CloneResult::WriteComplete) {
            QCOMPARE(pty.unit.Memory(), model.UnitImage);
            pty.Read();                                           // the end frame may still wait in the line
            QVERIFY(pty.unit.TakeRunEnds().back().writeComplete); // ended by F-END
        }
    }
};

QTEST_GUILESS_MAIN(TestPtyClone)
#include "tst_pty_clone.moc"
