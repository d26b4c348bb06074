// SPDX-License-Identifier: GPL-3.0-or-later
// Test doubles for the clone session: a scripted serial port, a manual clock, a quick unit.
#pragma once

#include "clone/clone_clock.h"
#include "clone/clone_frames.h"
#include "clone/clone_session.h"
#include "clone/serial_port.h"
#include "unit_simulator.h"

#include <QList>
#include <functional>

namespace vireo::test {

/** A clock that only moves when told. */
class ManualClock : public CloneClock {
  public:
    double Now() const override { return m_now; }
    qint64 Ns() const { return static_cast<qint64>(m_now * 1e9); }
    void Advance(double seconds) { m_now += seconds; }

  private:
    double m_now = 1000.0;
};

/** Faults of the port itself, as opposed to the unit behind it. */
struct PortFaults {
    bool noOpen = false;
    int refuseWrite = -1;   ///< the write with this number (0-based) is refused...
    qint64 shortBy = 0;     ///< ...or takes all but this many bytes
    int loseAtWrite = -1;   ///< the port fails for good at this write (after taking it unless refused)
    bool readFails = false; ///< bytes are said to wait but none can be read
    bool overflow = false;  ///< the receive buffer overflows as the run starts
    bool neverDrains = false;
};

/** A serial port whose faults are scripted; written bytes wait in a system queue until drained. */
class FakeSerialPort : public SerialPort {
  public:
    PortFaults faults;
    std::function<void(const QByteArray &)> onWrite; ///< the bytes of every accepted write
    QList<QByteArray> written;
    int writeAttempts = 0;
    int opens = 0;
    QList<int> drainWaits;     ///< the bound given to each WaitUntilSent
    qint64 queuedAtClose = -1; ///< bytes still in the system queue when the port was closed

    bool Open(const QString &, qint32) override
    {
        ++opens;
        m_rx.clear();
        return m_open = !faults.noOpen;
    }
    bool IsOpen() const override { return m_open; }
    void Close() override { queuedAtClose = std::exchange(m_open, false) ? m_queued : queuedAtClose; }
    qint64 BytesWaiting() const override { return m_open ? m_rx.size() : 0; }
    QByteArray ReadAll() override
    {
        return !m_open || faults.readFails ? QByteArray() : std::exchange(m_rx, {});
    }
    void ClearInput() override { m_rx.clear(); }
    qint64 Write(const QByteArray &bytes) override
    {
        const int number = writeAttempts++;
        if (!m_open)
            return -1;
        const bool refused = number == faults.refuseWrite;
        if (!refused) {
            written.append(bytes);
            m_queued += bytes.size();
            if (onWrite)
                onWrite(bytes);
        }
        if (number == faults.loseAtWrite)
            Unplug();
        return !refused ? bytes.size() : faults.shortBy > 0 ? bytes.size() - faults.shortBy : -1;
    }
    qint64 BytesToSend() const override { return m_queued; }
    bool WaitUntilSent(int msecs) override
    {
        drainWaits.append(msecs);
        return (m_queued = faults.neverDrains ? m_queued : 0) == 0;
    }
    PortFailure FailureKind() const override
    {
        return m_open ? PortFailure::None : PortFailure::NoSuchDevice;
    }
    QString FailureText() const override { return QStringLiteral("/dev/fake: no such device"); }

    void Feed(const QByteArray &bytes)
    {
        if (m_open && !bytes.isEmpty()) {
            m_rx.append(bytes);
            emit readyRead();
        }
    }
    void FeedHex(const QByteArray &hex) { Feed(HexToBytes(hex)); }
    void Unplug()
    {
        m_open = false;
        emit portLost(QStringLiteral("/dev/fake: device gone"));
    }
    int CountWritten(const QByteArray &hex) const { return written.count(HexToBytes(hex)); }

  private:
    bool m_open = false;
    QByteArray m_rx;
    qint64 m_queued = 0;
};

/// A simulated unit that answers at once and holds a different word in every block.
inline UnitSimConfig QuickUnit(std::int32_t accessCode = DefaultUnitCode)
{
    UnitSimConfig config;
    config.accessCode = accessCode;
    config.baud = 0;
    for (std::size_t i = 0; i < config.memory.size(); ++i)
        config.memory[i] = static_cast<std::uint16_t>(0x1000 + i * 7);
    return config;
}

/** The simulated unit on the fake port: it hears accepted writes; Pump() delivers what is due. */
struct SimulatedLine {
    FakeSerialPort &port;
    ManualClock &clock;
    UnitSimulator unit;

    SimulatedLine(FakeSerialPort &p, ManualClock &c, UnitSimConfig config) : port(p), clock(c), unit(config)
    {
        port.onWrite = [this](const QByteArray &bytes) { unit.Receive(clock.Ns(), bytes); };
    }
    void Pump()
    {
        port.Feed(unit.TakeDue(clock.Ns()));
        if (unit.Unplugged() && port.IsOpen())
            port.Unplug();
    }
};

/// Polls the session `step` seconds apart, `beforeTick` first, until its run ends (bounded).
inline void TickToEnd(CloneSession &session, ManualClock &clock, double step,
                      const std::function<void()> &beforeTick)
{
    for (int i = 0; i < 200000 && session.CloneActive(); ++i) {
        beforeTick();
        session.CloneTick();
        clock.Advance(step);
    }
}

} // namespace vireo::test

Q_DECLARE_METATYPE(vireo::test::PortFaults)
