// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated Wren unit without a terminal: received bytes in, the unit's
// paced output and the ends of clone runs out. main.cpp puts it on a line.
#pragma once

#include "model/unit_model.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <vector>

namespace vireo {

inline constexpr std::int32_t DefaultUnitCode = DefaultAccessCode;
inline constexpr std::int32_t DefaultUnitBaud = 9600;
inline constexpr int DefaultUnitPreamble = 2;

/** The faults the simulated unit can be told to show; several may be combined. */
struct UnitFaults {
    bool noUnit = false;            ///< the status reply says no unit is fitted
    bool wrongIdentity = false;     ///< the identity reply is not the accepted one
    std::optional<int> shortData;   ///< a read ends after this many blocks
    bool extraBlocks = false;       ///< a read sends a hundredth block
    std::optional<int> badBlock;    ///< this block (0..98) of a read carries three bytes
    std::optional<int> silentAfter; ///< no reply after this many reply frames in a run
    double noiseRate = 0.0;         ///< chance (0..1) of random bytes before each reply frame
    bool babble = false;            ///< endless bytes that never form a reply, from the first frame of a run
    bool crlfReversed = false;      ///< replies end 0D 0A FD instead of 0A 0D FD
    std::optional<int> unplugAfter; ///< the line goes away after this many reply frames in a run
    std::optional<int> stuckBit;    ///< this word (0..98) always reads back with its lowest bit set
};

/// Reads one --fault argument ("short-data=5", "babble") into faults; the
/// error text when it is not a known fault or its value is out of range.
std::optional<QString> ParseUnitFault(const QString &argument, UnitFaults &faults);

struct UnitSimConfig {
    UnitWords memory{}; ///< what a read returns
    std::int32_t accessCode = DefaultUnitCode;
    std::int32_t baud = DefaultUnitBaud; ///< 10 bits per byte; 0 sends without pacing
    bool echo = false;                   ///< every received byte comes back, as on the cloning cable
    int preamble = DefaultUnitPreamble;  ///< FE bytes before each reply (at least 1)
    int turnaroundMs = 0;                ///< pause between the end of a frame and the reply
    UnitFaults faults;
    std::uint32_t seed = 1; ///< random bytes of noise and babble
};

/** How a clone run ended, as the unit saw it. */
struct UnitRunEnd {
    enum Mode { Handshake, Read, Write };
    enum Cause { EndFrame, AbortFrame, NewInquiry, LineClosed };
    Mode mode = Handshake;
    Cause cause = EndFrame;
    int blocks = 0;             ///< blocks queued to send (read) or stored (write)
    bool writeComplete = false; ///< 99 blocks stored and the run closed with a plain end frame

    /// One line for the log ("write complete: 99 blocks").
    QString Describe() const;
};

/**
 * The unit's side of the clone link. Times are monotonic nanoseconds given by
 * the caller: the line is modelled as one wire at `baud`, so a reply starts only
 * after the program's frame would have crossed it, and the unit's bytes are
 * released one byte time apart.
 */
class UnitSimulator {
  public:
    explicit UnitSimulator(UnitSimConfig config);

    /// Bytes from the program, arrived at `nowNs`.
    void Receive(qint64 nowNs, QByteArrayView bytes);
    /// The unit's bytes that are due on the line by `nowNs`, in order.
    QByteArray TakeDue(qint64 nowNs);
    /// When the next byte (or the unplugging) is due; nothing when the unit has nothing to send.
    std::optional<qint64> NextDueNs() const;
    /// The program closed its port: a run in progress ends, unsent output is dropped.
    void LineClosed();

    /// The runs that ended since the last call.
    std::vector<UnitRunEnd> TakeRunEnds();
    /// The unplug fault has fired: the line must go away now.
    bool Unplugged() const { return m_unplugged; }
    /// The unit's memory: what a read returns; a write changes it block by block.
    const UnitWords &Memory() const { return m_memory; }
    bool RunActive() const { return m_state != State::Idle; }
    std::int32_t Baud() const { return m_config.baud; }

  private:
    enum class State { Idle, NoUnit, AwaitAccess, AwaitRequest, Reading, Writing };

    struct Segment {
        qint64 notBefore = 0;
        QByteArray bytes;
        bool unplug = false; ///< the line goes away here instead of sending bytes
        bool echo = false;   ///< the cable's echo, which outlives the end of a run
    };

    void HandleFrame(QByteArrayView frameBytes, qint64 frameEndNs);
    void StartRun();
    void EndRun(UnitRunEnd::Cause cause);
    void SendReply(const QByteArray &replyHex);
    void QueueRead();
    QByteArray RandomBytes(int count, bool allowPreamble);

    UnitSimConfig m_config;
    UnitWords m_memory;
    qint64 m_byteNs;
    std::mt19937 m_random;

    State m_state = State::Idle;
    UnitRunEnd::Mode m_mode = UnitRunEnd::Handshake;
    int m_blocks = 0;
    int m_repliesQueued = 0;
    bool m_unplugQueued = false;
    qint64 m_replyAt = 0; ///< earliest start of the replies to the frame being handled

    QByteArray m_rxFrame;
    qint64 m_rxFreeAt = 0;
    std::deque<Segment> m_queue;
    qsizetype m_queuePos = 0;
    qint64 m_txFreeAt = 0;
    bool m_babbling = false;
    qint64 m_babbleFrom = 0;
    bool m_unplugged = false;
    std::vector<UnitRunEnd> m_runEnds;
};

} // namespace vireo
