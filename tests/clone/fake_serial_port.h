// SPDX-License-Identifier: GPL-3.0-or-later
// Test doubles for the clone session: a scripted serial port, a unit that
// answers the program's frames through it, a clock moved by hand, and a loop
// that ticks a session to the end of its run.
#pragma once

#include "clone/clone_clock.h"
#include "clone/clone_frames.h"
#include "clone/clone_session.h"
#include "clone/serial_port.h"

#include <QList>
#include <functional>

namespace vireo::test {

/** A clock that only moves when told. */
class ManualClock : public CloneClock {
  public:
    double Now() const override { return m_now; }
    void Set(double now) { m_now = now; }
    void Advance(double seconds) { m_now += seconds; }

  private:
    double m_now = 1000.0;
};

/** A serial port whose every answer is scripted by the test. */
class FakeSerialPort : public SerialPort {
  public:
    bool openSucceeds = true;
    bool readFails = false;  ///< bytes are said to wait but none can be read
    int refuseWriteNo = -1;  ///< the write with this number (0-based) is refused
    qint64 shortWriteBy = 0; ///< a refused write still takes all but this many bytes (0: none)
    bool drainSucceeds = true;
    int chopEachFeed = 0; ///< every chunk that arrives loses this many last bytes
    std::function<void(const QByteArray &)> onWrite;
    /// Called when a write is refused (e.g. the port fails for good while taking it).
    std::function<void()> onRefuse; ///< the bytes of every accepted write

    QList<QByteArray> written; ///< every accepted write
    int writeAttempts = 0;
    int opens = 0;
    QString openedDevice;
    QList<int> drainWaits; ///< the bound given to each WaitUntilSent

    bool Open(const QString &device, qint32) override
    {
        ++opens;
        openedDevice = device;
        m_open = openSucceeds;
        m_rx.clear();
        return m_open;
    }
    bool IsOpen() const override { return m_open; }
    void Close() override { m_open = false; }
    qint64 BytesWaiting() const override { return m_open ? m_rx.size() : 0; }
    QByteArray ReadAll() override { return !m_open || readFails ? QByteArray() : std::exchange(m_rx, {}); }
    void ClearInput() override { m_rx.clear(); }
    qint64 Write(const QByteArray &bytes) override
    {
        const int number = writeAttempts++;
        if (!m_open)
            return -1;
        if (number == refuseWriteNo) {
            if (onRefuse)
                onRefuse();
            return shortWriteBy > 0 ? bytes.size() - shortWriteBy : -1;
        }
        written.append(bytes);
        if (onWrite)
            onWrite(bytes);
        return bytes.size();
    }
    qint64 BytesToSend() const override { return drainSucceeds ? 0 : 98; }
    bool WaitUntilSent(int msecs) override
    {
        drainWaits.append(msecs);
        return drainSucceeds;
    }
    PortFailure FailureKind() const override
    {
        return openSucceeds ? PortFailure::None : PortFailure::NoSuchDevice;
    }
    QString FailureText() const override
    {
        return openSucceeds ? QString() : QStringLiteral("/dev/fake: no such device");
    }

    /// Bytes arrive at the port.
    void Feed(const QByteArray &bytes)
    {
        if (m_open)
            m_rx.append(bytes.chopped(std::min<qsizetype>(chopEachFeed, bytes.size())));
    }
    void FeedHex(const QByteArray &hex) { Feed(HexToBytes(hex)); }
    void RaiseOverflow() { emit receiveOverflow(); }
    /// The device goes away: closed, then reported.
    void Unplug()
    {
        Close();
        emit portLost(QStringLiteral("/dev/fake: device gone"));
    }
    /// How many accepted writes were the frame (hexadecimal text).
    int CountWritten(const QByteArray &hex) const { return written.count(HexToBytes(hex)); }

  private:
    bool m_open = false;
    QByteArray m_rx;
};

/** How the scripted unit answers. Defaults give a complete, correct run. */
struct UnitScript {
    std::uint8_t status = 0x01;
    QByteArray identity = "0232";
    int blocks = 99;          ///< data blocks sent after F-READ
    bool endWithEmpty = true; ///< the empty data frame after the blocks
    int oddBlock = -1;        ///< this block carries oddPayload instead of its word
    QByteArray oddPayload{};
    bool answerWriteRequest = false; ///< an R3-shaped answer to F-WRITE
    int silentAfterBlock = -1;       ///< no acknowledgement for this block and later
    int finalAcks = 2;               ///< empty acknowledgements of the last block
    QByteArray finalAckPayload{};    ///< payload of those acknowledgements
    bool echo = false;               ///< the cable returns the program's own frames
};

/** A unit that answers every program frame at once: on the fake port, or through Reply(). */
class FakeUnit {
  public:
    explicit FakeUnit(UnitScript script = {}) : script(std::move(script))
    {
        for (int i = 0; i < 99; ++i)
            memory[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0x1000 + i * 7);
    }
    FakeUnit(FakeSerialPort &port, UnitScript script = {}) : FakeUnit(std::move(script))
    {
        port.onWrite = [this, &port](const QByteArray &bytes) { port.Feed(Reply(bytes)); };
    }

    UnitScript script;
    std::array<std::uint16_t, 99> memory{};
    QList<std::uint16_t> received; ///< words written to the unit
    QList<HostFrame::Kind> heard;
    QByteArray accessDigits;

    /// Every byte the unit sends back for one program frame.
    QByteArray Reply(const QByteArray &bytes)
    {
        const HostFrame frame = ParseHostFrame(bytes);
        heard.append(frame.kind);
        QByteArray answer;
        switch (frame.kind) {
        case HostFrame::Inquiry:
            answer = UnitStatusReply(script.status);
            break;
        case HostFrame::Access:
            accessDigits = frame.data;
            answer = UnitIdentityReply(script.identity);
            break;
        case HostFrame::ReadRequest:
            for (int i = 0; i < script.blocks; ++i)
                answer += i == script.oddBlock ? UnitDataReply(script.oddPayload)
                                               : UnitBlockReply(memory[static_cast<std::size_t>(i % 99)]);
            if (script.endWithEmpty)
                answer += UnitEmptyReply();
            break;
        case HostFrame::WriteRequest:
            if (script.answerWriteRequest)
                answer = UnitEmptyReply();
            break;
        case HostFrame::Block: {
            const int n = static_cast<int>(received.size());
            received.append(static_cast<std::uint16_t>(frame.data.toUInt(nullptr, 16)));
            if (script.silentAfterBlock >= 0 && n >= script.silentAfterBlock)
                break;
            if (n == 98)
                answer = UnitDataReply(script.finalAckPayload).repeated(script.finalAcks);
            else if (!(script.answerWriteRequest && n == 0)) // the answer to F-WRITE stood for block 0's
                answer = UnitEmptyReply();
            break;
        }
        default:
            break;
        }
        return (script.echo ? bytes : QByteArray()) + HexToBytes(answer);
    }
};

/// Ticks the session `step` seconds apart until its run ends (bounded);
/// `beforeTick` runs before every tick.
inline void TickToEnd(CloneSession &session, ManualClock &clock, double step = 0.01,
                      const std::function<void()> &beforeTick = {})
{
    for (int i = 0; i < 200000 && session.CloneActive(); ++i) {
        if (beforeTick)
            beforeTick();
        session.CloneTick();
        clock.Advance(step);
    }
}

} // namespace vireo::test

Q_DECLARE_METATYPE(vireo::test::UnitScript)
