// SPDX-License-Identifier: GPL-3.0-or-later
// The clone run's steps: its start, the frames sent, each reply handled by
// the step it answers, the read and write sequences, and the end of a run.
// What drives the steps (polls, received bytes, time-outs): clone_session_polling.cpp.
#include "clone_session.h"

#include "clone_errors.h"
#include "clone_frames.h"
#include "clone_trace.h"

#include <QEventLoop>
#include <algorithm>

namespace vireo {

namespace {

constexpr std::int16_t LastBlock = 98; // words 0..98
constexpr std::int16_t BlockCount = 99;
constexpr int DrainMarginMs = 500; // beyond the wire time, for the adapter

} // namespace

CloneSession::CloneSession(UnitModel &model, SerialPort &port, CloneClock &clock, QObject *parent)
    : QObject(parent), m_model(model), m_port(port), m_clock(clock)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CloneSession::OnTimer);
    connect(&m_port, &SerialPort::readyRead, this, &CloneSession::OnReadyRead);
    connect(&m_port, &SerialPort::receiveOverflow, this, &CloneSession::OnReceiveOverflow);
    connect(&m_port, &SerialPort::portLost, this, &CloneSession::OnPortLost);
    connect(&m_port, &SerialPort::note, this, &CloneSession::TraceNote);
}

CloneSession::~CloneSession() = default;

bool CloneSession::StartClone(const CloneRequest &request)
{
    if (InRun())
        return false;
    m_state = CloneRunState{};
    m_state.CloneMode = request.mode;
    m_state.Phase = ClonePhase::Opening;
    m_accessCode = request.accessCode;
    m_speed = request.speed;
    m_portError.clear();
    m_endPending = false;
    m_pollMissed = false;
    m_lastResult.reset();
    if (m_trace)
        m_trace->Begin(m_clock.Now());
    TraceNote(QStringLiteral("clone %1 on %2 at %3 bit/s")
                  .arg(CloneModeWord(request.mode), request.device)
                  .arg(request.speed));

    if (!m_port.Open(request.device, request.speed)) {
        m_portError = m_port.FailureText();
        TraceNote(m_portError);
        EndClone(CloneResult::PortFailed);
        return false;
    }

    m_state.StartTime = m_clock.Now();
    m_state.CloneStep = CloneStep::Inquiry;
    m_state.ReplyHead = StatusReplyHead();
    m_state.ReplyTail = StatusReplyTail();
    m_state.TxFrame = InquiryFrame();
    ++m_busy;
    SendFrame(m_state.TxFrame);
    --m_busy;
    // A first frame that did not go out is a port that cannot be used, also
    // when the port failed for good while taking it.
    if (!m_state.FrameSent()) {
        m_endPending = false;
        if (m_portError.isEmpty())
            m_portError = QStringLiteral("%1: the port did not take the first frame").arg(request.device);
        TraceNote(m_portError);
        EndClone(CloneResult::PortFailed);
        return false;
    }
    if (m_endPending) {
        RunPendingEnd();
        return false;
    }
    ScheduleNextPoll();
    return true;
}

void CloneSession::EndEarly(CloneResult result)
{
    // Once the end frame is out the unit has left cloning and the run is
    // complete: an early end then only ends it a poll sooner, with its result.
    if (InRun() && m_state.Phase != ClonePhase::Ending)
        RequestEnd(m_state.CloneStep == CloneStep::End ? StepEndResult() : result);
}

CloneResult CloneSession::StepEndResult() const
{
    if (m_state.CloneMode != CloneMode::Read)
        return CloneResult::WriteComplete;
    return m_state.BlockNo == BlockCount ? CloneResult::ReadComplete : CloneResult::NotEnoughData;
}

qint64 CloneSession::WriteFrame(const QByteArray &hex)
{
    m_state.RxText.clear();
    m_state.StartTime = m_clock.Now();
    m_state.SearchPos = 0;
    const qint64 taken = m_port.IsOpen() ? m_port.Write(HexToBytes(hex)) : -1;
    if (m_trace)
        m_trace->Sent(m_clock.Now(), hex, taken);
    return taken;
}

void CloneSession::SendFrame(const QByteArray &hex)
{
    ++m_busy;
    m_state.Phase = ClonePhase::FrameUnsent;
    // A frame the port refused, or took only in part, was not sent: no reply
    // is looked for, and the run ends at the time-out unless its echo is seen.
    if (WriteFrame(hex) == hex.size() / 2)
        m_state.Phase = ClonePhase::AwaitHead;
    --m_busy;
}

void CloneSession::HandleReply(const QByteArray &payload)
{
    CloneRunState &s = m_state;
    switch (s.CloneStep) {
    case CloneStep::Inquiry:
        if (!UnitPresent(payload)) {
            EndClone(CloneResult::NoUnit);
            return;
        }
        s.CloneStep = CloneStep::Access;
        s.ReplyHead = IdentityReplyHead();
        s.ReplyTail = DataReplyTail();
        s.TxFrame = AccessFrame(m_accessCode);
        SendFrame(s.TxFrame);
        emit unitPresent();
        return;
    case CloneStep::Access:
        if (!IdentityAccepted(payload)) {
            EndClone(CloneResult::UnknownUnit);
            return;
        }
        if (s.CloneMode == CloneMode::Read) {
            s.CloneStep = CloneStep::ReadRequest;
            s.TxFrame = ReadRequestFrame();
        } else {
            s.CloneStep = CloneStep::WriteRequest;
            s.TxFrame = WriteRequestFrame();
        }
        s.BlockNo = 0;
        s.ReplyHead = DataReplyHead();
        SendFrame(s.TxFrame);
        return;
    case CloneStep::ReadRequest:
        // The first data frame is still in RxText: ReadBlocks takes it from there.
        s.CloneStep = CloneStep::Reading;
        ReadBlocks();
        return;
    case CloneStep::Writing:
        SendWriteBlock();
        return;
    case CloneStep::WriteRequest:
    case CloneStep::Reading:
    case CloneStep::End:
        return;
    }
}

void CloneSession::ReadBlocks()
{
    CloneRunState &s = m_state;
    for (;;) {
        const qsizetype head = FindHex(s.RxText, s.ReplyHead, 0);
        if (head < 0)
            return;
        const qsizetype start = head + s.ReplyHead.size();
        const qsizetype tail = FindHex(s.RxText, s.ReplyTail, start);
        if (tail < 0)
            return; // not complete yet; the next poll tries again
        if (tail == start) {
            // An empty data frame: the unit has sent all it has.
            SendEndFrame();
            return;
        }
        const std::optional<std::uint16_t> word =
            DecodeBlockPayload(QByteArrayView(s.RxText).sliced(start, tail - start));
        if (!word) {
            EndClone(CloneResult::IllegalData);
            return;
        }
        if (s.BlockNo > LastBlock) {
            EndClone(CloneResult::DataOverflow);
            return;
        }
        s.StartTime = m_clock.Now();
        m_model.LoadBuffer[static_cast<std::size_t>(s.BlockNo)] = *word;
        Report(s.BlockNo);
        ++s.BlockNo;
        s.RxText.remove(0, tail + s.ReplyTail.size());
    }
}

void CloneSession::SendWriteBlock()
{
    CloneRunState &s = m_state;
    if (s.BlockNo <= LastBlock) {
        s.TxFrame = BlockFrame(m_model.UnitImage[static_cast<std::size_t>(s.BlockNo)]);
        SendFrame(s.TxFrame);
        Report(s.BlockNo);
        if (s.BlockNo == LastBlock) {
            // The last word is acknowledged by the empty reply twice over.
            s.ReplyHead = s.ReplyHead + s.ReplyTail;
            s.ReplyTail = s.ReplyHead;
        }
    } else if (s.BlockNo == BlockCount) {
        SendEndFrame();
    }
    ++s.BlockNo;
}

void CloneSession::SendEndFrame()
{
    m_state.CloneStep = CloneStep::End;
    m_state.TxFrame = EndFrame();
    SendFrame(m_state.TxFrame);
}

void CloneSession::DrainOutput(const QByteArray &hex)
{
    // Closing the port restores the device's standing line settings at once:
    // a frame still in the system's output queue would leave at the wrong
    // speed, and the unit might stay in cloning. The wait is bounded by the
    // frame's wire time plus a margin, so a stuck adapter cannot freeze the program.
    int bound = MaxDrainMs;
    if (m_speed > 0) {
        const qint64 bits = hex.size() / 2 * BitsPerByte;
        const qint64 wireMs = (bits * 1000 + m_speed - 1) / m_speed;
        bound = static_cast<int>(std::min<qint64>(wireMs + DrainMarginMs, MaxDrainMs));
    }
    if (!m_port.WaitUntilSent(bound))
        TraceNote(QStringLiteral("last frame not fully sent before closing; %1 bytes left")
                      .arg(m_port.BytesToSend()));
}

void CloneSession::EndClone(CloneResult result)
{
    if (m_state.Phase == ClonePhase::Idle || m_state.Phase == ClonePhase::Ending)
        return;
    m_state.Phase = ClonePhase::Ending;
    m_endPending = false;
    m_timer.stop();

    if (m_port.IsOpen()) {
        if (m_state.CloneStep == CloneStep::End) {
            DrainOutput(EndFrame());
        } else {
            // An early end tells the unit to leave cloning.
            m_state.TxFrame = EndFrame();
            WriteFrame(AbortFrame());
            DrainOutput(AbortFrame());
        }
    }
    if (m_port.IsOpen())
        m_port.Close();
    m_lastResult = result;
    TraceNote(QStringLiteral("end, result %1: %2 (exit status %3)")
                  .arg(static_cast<int>(result))
                  .arg(CloneResultName(result))
                  .arg(CloneExitStatus(result)));
    m_state.Phase = ClonePhase::Idle;
    emit finished(result);
}

CloneResult CloneSession::TimeoutResult() const
{
    if (m_state.CloneStep == CloneStep::Access)
        return CloneResult::AccessCodeError;
    return m_state.FrameSent() ? CloneResult::NoAnswer : CloneResult::FrameNotTaken;
}

void CloneSession::Report(int blockNo)
{
    emit progress(ClampProgress(BlockProgress(blockNo)));
}

void CloneSession::RequestEnd(CloneResult result)
{
    if (m_busy > 0) {
        if (!m_endPending) {
            m_endPending = true;
            m_pendingResult = result;
        }
        return;
    }
    EndClone(result);
}

void CloneSession::RunPendingEnd()
{
    if (!m_endPending || m_busy > 0)
        return;
    m_endPending = false;
    EndClone(m_pendingResult);
}

void CloneSession::OnReceiveOverflow()
{
    if (!InRun() || m_state.Phase == ClonePhase::Ending)
        return;
    TraceNote(QStringLiteral("receive buffer overflow"));
    // Closed first: nothing more is sent on a line that lost bytes.
    m_port.Close();
    RequestEnd(CloneResult::BufferOverflow);
}

void CloneSession::OnPortLost(const QString &reason)
{
    m_portError = reason;
    TraceNote(QStringLiteral("port lost: %1").arg(reason));
    if (!InRun() || m_state.Phase == ClonePhase::Ending)
        return;
    // A run that already sent its end frame finishes at the next poll as usual.
    // Any other cannot go on: the port is gone, whatever step the run was in.
    if (m_state.CloneStep != CloneStep::End)
        RequestEnd(CloneResult::FrameNotTaken);
}

void CloneSession::TraceNote(const QString &text)
{
    if (m_trace)
        m_trace->Note(m_clock.Now(), text);
}

CloneResult RunCloneToEnd(CloneSession &session, const CloneRequest &request)
{
    QEventLoop loop;
    std::optional<CloneResult> result;
    const auto connection =
        QObject::connect(&session, &CloneSession::finished, &loop, [&result, &loop](CloneResult r) {
            result = r;
            loop.quit();
        });
    if (session.StartClone(request) && !result)
        loop.exec();
    QObject::disconnect(connection);
    if (result)
        return *result;
    return session.LastResult().value_or(CloneResult::PortFailed);
}

} // namespace vireo
