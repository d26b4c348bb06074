// SPDX-License-Identifier: GPL-3.0-or-later
// Test doubles for the clone session: a scripted serial port, a unit that
// answers the program's frames through it, and a clock moved by hand.
#pragma once

#include "clone/clone_clock.h"
#include "clone/clone_frames.h"
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
    // Scripted behaviour.
    bool openSucceeds = true;
    PortFailure openFailure = PortFailure::NoSuchDevice;
    QString openFailureText = QStringLiteral("/dev/fake: no such device");
    bool readFails = false;          ///< bytes are said to wait but none can be read
    int refuseWriteNo = -1;          ///< the write with this number (0-based) is refused
    bool refuseAllWrites = false;
    qint64 shortWriteBy = 0;         ///< every refused write still takes all but this many bytes (0: -1)
    bool drainSucceeds = true;
    bool emitReadyRead = false;      ///< announce fed bytes (for self-driven sessions)
    int chopEachFeed = 0;            ///< every chunk that arrives loses this many last bytes
    /// Called with the bytes of every accepted write (the unit's ear).
    std::function<void(const QByteArray &)> onWrite;

    // What happened.
    QList<QByteArray> written;       ///< every accepted write, as bytes
    int writeAttempts = 0;
    int opens = 0;
    int closes = 0;
    QString openedDevice;
    qint32 openedSpeed = 0;
    QList<int> drainWaits;           ///< the bound given to each WaitUntilSent

    bool Open(const QString &device, qint32 speed) override
    {
        ++opens;
        openedDevice = device;
        openedSpeed = speed;
        if (!openSucceeds)
            return false;
        m_open = true;
        m_rx.clear();
        return true;
    }
    bool IsOpen() const override { return m_open; }
    void Close() override
    {
        if (m_open)
            ++closes;
        m_open = false;
    }
    qint64 BytesWaiting() const override { return m_open ? m_rx.size() : 0; }
    QByteArray ReadAll() override
    {
        if (!m_open || readFails)
            return {};
        QByteArray bytes = m_rx;
        m_rx.clear();
        return bytes;
    }
    void ClearInput() override { m_rx.clear(); }
    qint64 Write(const QByteArray &bytes) override
    {
        const int number = writeAttempts++;
        if (!m_open)
            return -1;
        if (refuseAllWrites || number == refuseWriteNo)
            return shortWriteBy > 0 ? bytes.size() - shortWriteBy : -1;
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
    PortFailure FailureKind() const override { return openSucceeds ? PortFailure::None : openFailure; }
    QString FailureText() const override { return openSucceeds ? QString() : openFailureText; }

    /// Bytes arrive at the port.
    void Feed(const QByteArray &bytes)
    {
        if (!m_open)
            return;
        m_rx.append(bytes.chopped(std::min<qsizetype>(chopEachFeed, bytes.size())));
        if (emitReadyRead)
            emit readyRead();
    }
    /// Hexadecimal text arrives as bytes.
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
    bool answerInquiry = true;
    std::uint8_t status = 0x01;
    bool answerAccess = true;
    QByteArray identity = "0232";
    int blocks = 99;                    ///< data blocks sent after F-READ
    bool endWithEmpty = true;           ///< the empty data frame after the blocks
    int oddBlock = -1;                  ///< this block carries oddPayload instead of its word
    QByteArray oddPayload;
    bool answerWriteRequest = false;    ///< an R3-shaped answer to F-WRITE
    int silentAfterBlock = -1;          ///< no acknowledgement for this block and later
    int finalAcks = 2;                  ///< empty acknowledgements of the last block
    QByteArray finalAckPayload;         ///< payload of those acknowledgements
    bool echo = false;                  ///< the cable returns the program's own frames
};

/** A unit on the fake port: answers every accepted frame at once. */
class FakeUnit {
public:
    FakeUnit(FakeSerialPort &port, UnitScript script = {}) : m_port(port), script(std::move(script))
    {
        for (int i = 0; i < 99; ++i)
            memory[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0x1000 + i * 7);
        m_port.onWrite = [this](const QByteArray &bytes) { Hear(bytes); };
    }

    std::array<std::uint16_t, 99> memory{};
    QList<std::uint16_t> received;     ///< words written to the unit
    QList<HostFrame::Kind> heard;
    QByteArray accessDigits;

private:
    void Answer(const QByteArray &hex) { m_port.FeedHex(hex); }

    void Hear(const QByteArray &bytes)
    {
        if (script.echo)
            m_port.Feed(bytes);
        const HostFrame frame = ParseHostFrame(bytes);
        heard.append(frame.kind);
        switch (frame.kind) {
        case HostFrame::Inquiry:
            if (script.answerInquiry)
                Answer(UnitStatusReply(script.status));
            break;
        case HostFrame::Access:
            accessDigits = frame.data;
            if (script.answerAccess)
                Answer(UnitIdentityReply(script.identity));
            break;
        case HostFrame::ReadRequest: {
            QByteArray all;
            for (int i = 0; i < script.blocks; ++i)
                all += i == script.oddBlock ? UnitDataReply(script.oddPayload)
                                            : UnitBlockReply(memory[static_cast<std::size_t>(i % 99)]);
            if (script.endWithEmpty)
                all += UnitEmptyReply();
            Answer(all);
            break;
        }
        case HostFrame::WriteRequest:
            if (script.answerWriteRequest)
                Answer(UnitEmptyReply());
            break;
        case HostFrame::Block: {
            const int n = static_cast<int>(received.size());
            received.append(static_cast<std::uint16_t>(frame.data.toUInt(nullptr, 16)));
            if (script.silentAfterBlock >= 0 && n >= script.silentAfterBlock)
                break;
            if (n == 98) {
                for (int i = 0; i < script.finalAcks; ++i)
                    Answer(UnitDataReply(script.finalAckPayload));
            } else if (!(script.answerWriteRequest && n == 0)) {
                // After an answer to F-WRITE, that answer already stands for block 0's.
                Answer(UnitEmptyReply());
            }
            break;
        }
        default:
            break;
        }
    }

    FakeSerialPort &m_port;

public:
    UnitScript script;
};

} // namespace vireo::test

Q_DECLARE_METATYPE(vireo::test::UnitScript)
