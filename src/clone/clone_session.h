// SPDX-License-Identifier: GPL-3.0-or-later
// One clone run with the unit: the handshake, the read of 99 words into the
// load buffer or the write of the image, time-outs and the end of the run.
// Driven by the port's readyRead and one time-out timer while a run is active.
#pragma once

#include "clone_clock.h"
#include "clone_types.h"
#include "serial_port.h"

#include "model/unit_model.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>

namespace vireo {

class CloneTrace;

/** What a run needs to start. */
struct CloneRequest {
    CloneMode mode = CloneMode::Read;
    QString device;              ///< the serial device of the chosen COM port
    qint32 speed = 9600;         ///< bits per second
    std::int32_t accessCode = 0; ///< sent as five ASCII digits
};

/** The run state. Hex texts are upper-case hexadecimal, two characters a byte. */
struct CloneRunState {
    vireo::CloneMode CloneMode = vireo::CloneMode::Read;
    ClonePhase Phase = ClonePhase::Idle;
    vireo::CloneStep CloneStep = vireo::CloneStep::Inquiry;
    std::int16_t BlockNo = 0;
    QByteArray TxFrame;   ///< the last frame handed to SendFrame
    QByteArray ReplyHead; ///< awaited reply pattern
    QByteArray ReplyTail;
    QByteArray RxText;       ///< every byte received since the last send
    qsizetype SearchPos = 0; ///< offset in RxText where the next search starts (0-based)
    double StartTime = 0;    ///< clock reading at the last send or stored block

    /// A run is in progress: the port is open and replies are looked for.
    bool Active() const
    {
        return Phase == ClonePhase::FrameUnsent || Phase == ClonePhase::AwaitHead ||
               Phase == ClonePhase::AwaitTail;
    }
    /// The last frame went out (the port took it, or its echo came back).
    bool FrameSent() const { return Phase == ClonePhase::AwaitHead || Phase == ClonePhase::AwaitTail; }
};

/**
 * The clone session: runs one clone at a time over a SerialPort, measuring
 * time-outs on a CloneClock. A read fills UnitModel::LoadBuffer and leaves
 * the image alone (the caller commits it on ReadComplete); a write sends
 * UnitModel::UnitImage. Tests drive it by hand with CloneTick().
 */
class CloneSession : public QObject {
    Q_OBJECT
  public:
    /// Silence longer than this ends a run.
    static constexpr double ReplyTimeout = 2.0;
    /// The receive buffer size: more received bytes than this without the
    /// awaited reply end the run as an overflow.
    static constexpr qsizetype ReceiveBufferSize = 2048;
    /// Upper bound of the final wait for the last frame to leave the port, in ms.
    static constexpr int MaxDrainMs = 2000;

    CloneSession(UnitModel &model, SerialPort &port, CloneClock &clock, QObject *parent = nullptr);
    ~CloneSession() override;

    /// Opens the port and sends the inquiry. False when the run ended at once
    /// (result PortFailed, finished already emitted) or another run is active.
    bool StartClone(const CloneRequest &request);
    /// Ends an active run early: F-ABORT sent, port closed, result Cancelled.
    void Cancel() { EndEarly(CloneResult::Cancelled); }
    /// Ends an active run early with the given result (e.g. PortFailed when
    /// the progress window cannot be shown). After the end frame the run ends
    /// with the result it has reached instead.
    void EndEarly(CloneResult result);
    /// One poll: reads what arrived and advances the run.
    void CloneTick();

    /// A run is in progress and polls advance it.
    bool CloneActive() const { return m_state.Active(); }
    /// True from StartClone until finished is emitted.
    bool InRun() const { return m_state.Phase != ClonePhase::Idle; }
    /// The step the run is in, or ended in.
    vireo::CloneStep Step() const { return m_state.CloneStep; }
    /// The result of the last run that ended.
    std::optional<CloneResult> LastResult() const { return m_lastResult; }
    /// The operating system's reason when the port failed (empty otherwise).
    QString PortErrorText() const { return m_portError; }

    /// Whether the session drives itself with the port's readyRead and its
    /// time-out timer (default on). Off, nothing happens between calls of CloneTick().
    void SetAutoDrive(bool on) { m_autoDrive = on; }
    /// Trace to write the run's traffic to, or nullptr. Not owned.
    void SetTrace(CloneTrace *trace) { m_trace = trace; }

  signals:
    /// The progress bar value, 0..100.
    void progress(int value);
    /// The unit answered the inquiry: a unit is fitted and the run goes on.
    void unitPresent();
    /// The run ended; the port is closed.
    void finished(vireo::CloneResult result);

  private:
    /// Hands a frame to the port and restarts the reply search; the bytes the port took.
    qint64 WriteFrame(const QByteArray &hex);
    void SendFrame(const QByteArray &hex);
    /// The result of a run that reached the end frame.
    CloneResult StepEndResult() const;
    void HandleReply(const QByteArray &payload);
    void ReadBlocks();
    void SendWriteBlock();
    void SendEndFrame();
    void EndClone(CloneResult result);
    void TickBody();
    void ProcessReceived();
    CloneResult TimeoutResult() const;
    bool TimedOut() const { return m_clock.Now() - m_state.StartTime > ReplyTimeout; }
    void Report(int blockNo);
    /// Ends the run now, or, while a tick or send is under way, when it returns.
    void RequestEnd(CloneResult result);
    void RunPendingEnd();
    /// Arms the timer for the next poll that no received byte will trigger, and
    /// tells the port how many bytes the run awaits.
    void ScheduleNextPoll();
    /// The fewest received bytes that could complete the awaited reply or cross
    /// the receive buffer's size (at least 1).
    qint64 BytesAwaited() const;
    /// The timer's poll: every byte the port held back is taken in first.
    void OnTimer();
    /// Waits, bounded, until the frame has left the machine; traces what is left.
    void DrainOutput(const QByteArray &hex);
    void OnReceiveOverflow();
    void OnPortLost(const QString &reason);
    void OnReadyRead();
    void TraceNote(const QString &text);

    UnitModel &m_model;
    SerialPort &m_port;
    CloneClock &m_clock;
    CloneTrace *m_trace = nullptr;
    CloneRunState m_state;
    std::int32_t m_accessCode = 0;
    qint32 m_speed = 9600;
    int m_busy = 0; // depth of ticks and sends under way
    bool m_endPending = false;
    CloneResult m_pendingResult = CloneResult::Cancelled;
    bool m_pollMissed = false; // a readyRead came while a tick was under way
    std::optional<CloneResult> m_lastResult;
    QString m_portError;
    bool m_autoDrive = true;
    QTimer m_timer;                   // single shot: the time-out, or a poll due without received bytes
    std::optional<double> m_armedFor; // the StartTime whose time-out the timer waits for
};

/// Runs a clone to its end without a window: starts it and waits in a local
/// event loop until it has finished. The session must drive itself.
CloneResult RunCloneToEnd(CloneSession &session, const CloneRequest &request);

} // namespace vireo
