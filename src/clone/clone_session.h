// SPDX-License-Identifier: GPL-3.0-or-later
// One clone run with the unit: the handshake, the read of 99 words into the
// load buffer or the write of the image, time-outs and the end of the run.
// Driven by a 1 ms timer and the port's readyRead while a run is active.
#pragma once

#include "clone_clock.h"
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

/// The direction of a run: the mode words "Read" and "Write".
enum class CloneMode { Read, Write };
/// The mode of a mode word: "Read" reads, every other word writes.
CloneMode CloneModeFromWord(const QString &word);
QString CloneModeWord(CloneMode mode);

/// How a clone run ended. 0..9 are failures with a message, 10 and 11 success.
enum class CloneResult : int {
    PortFailed = 0,      ///< the port could not be set up, or the first frame not written
    BufferOverflow = 1,  ///< received bytes were lost, or a line babbled without an answer
    FrameNotTaken = 2,   ///< time-out after a frame the port did not take
    NoAnswer = 3,        ///< time-out waiting for a reply
    IllegalData = 4,     ///< a data block whose payload is not four bytes
    NoUnit = 5,          ///< the status reply says no unit is fitted
    UnknownUnit = 6,     ///< the identity reply is not the accepted one
    AccessCodeError = 7, ///< silence after the access code
    DataOverflow = 8,    ///< more than 99 data blocks
    NotEnoughData = 9,   ///< the data ended before 99 blocks
    ReadComplete = 10,
    WriteComplete = 11,
    Cancelled = 12, ///< ended early on request: no message
};

/// True for the results that are shown as an error message (0..9).
inline bool IsCloneError(CloneResult result)
{
    return static_cast<int>(result) >= 0 && static_cast<int>(result) <= 9;
}

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
    bool CloneActive = false;
    std::int16_t CloneStep = 0;
    std::int16_t BlockNo = 0;
    QByteArray TxFrame;   ///< the last frame handed to SendFrame
    QByteArray ReplyHead; ///< awaited reply pattern
    QByteArray ReplyTail;
    QByteArray RxText;       ///< every byte received since the last send
    qsizetype SearchPos = 0; ///< offset in RxText where the next search starts (0-based)
    bool HeadFound = false;
    bool FrameSent = false;
    double StartTime = 0; ///< clock reading at the last send or stored block
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
    /// Upper bound of the final wait for F-ABORT to leave the port, in ms.
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

    const CloneRunState &State() const { return m_state; }
    bool CloneActive() const { return m_state.CloneActive; }
    /// True from StartClone until finished is emitted.
    bool InRun() const { return m_inRun; }
    /// The result of the last run that ended.
    std::optional<CloneResult> LastResult() const { return m_lastResult; }
    /// The operating system's reason when the port failed (empty otherwise).
    QString PortErrorText() const { return m_portError; }

    /// Whether the session drives itself with its timer and readyRead (default
    /// on). Off, nothing happens between calls of CloneTick().
    void SetAutoDrive(bool on) { m_autoDrive = on; }
    /// Trace to write the run's traffic to, or nullptr. Not owned.
    void SetTrace(CloneTrace *trace) { m_trace = trace; }

  signals:
    /// The progress bar value, 0..100.
    void progress(int value);
    /// The run ended; the port is closed.
    void finished(vireo::CloneResult result);

  private:
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
    /// Without a result, the run ends as a time-out would end it at that moment.
    void RequestEnd(std::optional<CloneResult> result);
    void RunPendingEnd();
    void OnReceiveOverflow();
    void OnPortLost(const QString &reason);
    void OnReadyRead();
    void TraceNote(const QString &text);
    int DrainMs() const;

    UnitModel &m_model;
    SerialPort &m_port;
    CloneClock &m_clock;
    CloneTrace *m_trace = nullptr;
    CloneRunState m_state;
    std::int32_t m_accessCode = 0;
    qint32 m_speed = 9600;
    bool m_inRun = false;  // from StartClone until EndClone has finished
    bool m_ending = false; // inside EndClone
    int m_busy = 0;        // depth of ticks and sends under way
    bool m_endPending = false;
    std::optional<CloneResult> m_pendingResult; // none: the time-out result
    std::optional<CloneResult> m_lastResult;
    QString m_portError;
    bool m_autoDrive = true;
    QTimer m_timer;
};

/// Runs a clone to its end without a window: starts it and waits in a local
/// event loop until it has finished. The session must drive itself.
CloneResult RunCloneToEnd(CloneSession &session, const CloneRequest &request);

} // namespace vireo

Q_DECLARE_METATYPE(vireo::CloneResult)
