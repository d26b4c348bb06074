// SPDX-License-Identifier: GPL-3.0-or-later
// The clone run: step table, reply matching, time-outs, the read and write
// sequences, and the end of a run.
#include "clone_session.h"

#include "clone_errors.h"
#include "clone_frames.h"
#include "clone_trace.h"

#include <QEventLoop>
#include <algorithm>

namespace vireo {

namespace {

// Steps of a run.
constexpr std::int16_t StepInquiry = 0;
constexpr std::int16_t StepAccess = 1;
constexpr std::int16_t StepReadRequest = 2;
constexpr std::int16_t StepWriteRequest = 3;
constexpr std::int16_t StepReading = 4;
constexpr std::int16_t StepWriting = 5;
constexpr std::int16_t StepEnd = 6;

constexpr std::int16_t LastBlock = 98; // words 0..98
constexpr std::int16_t BlockCount = 99;

} // namespace

CloneMode CloneModeFromWord(const QString &word)
{
    return word == QLatin1String("Read") ? CloneMode::Read : CloneMode::Write;
}

QString CloneModeWord(CloneMode mode)
{
    return mode == CloneMode::Read ? QStringLiteral("Read") : QStringLiteral("Write");
}

CloneSession::CloneSession(UnitModel &model, SerialPort &port, CloneClock &clock, QObject *parent)
    : QObject(parent), m_model(model), m_port(port), m_clock(clock)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, &CloneSession::CloneTick);
    connect(&m_port, &SerialPort::readyRead, this, &CloneSession::OnReadyRead);
    connect(&m_port, &SerialPort::receiveOverflow, this, &CloneSession::OnReceiveOverflow);
    connect(&m_port, &SerialPort::portLost, this, &CloneSession::OnPortLost);
    connect(&m_port, &SerialPort::note, this, &CloneSession::TraceNote);
}

CloneSession::~CloneSession() = default;

bool CloneSession::StartClone(const CloneRequest &request)
{
    if (m_inRun)
        return false;
    m_state = CloneRunState{};
    m_state.CloneMode = request.mode;
    m_accessCode = request.accessCode;
    m_speed = request.speed;
    m_portError.clear();
    m_endPending = false;
    m_lastResult.reset();
    m_inRun = true;
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
    m_state.CloneActive = true;
    m_state.CloneStep = StepInquiry;
    m_state.ReplyHead = StatusReplyHead();
    m_state.ReplyTail = StatusReplyTail();
    m_state.TxFrame = InquiryFrame();
    ++m_busy;
    SendFrame(m_state.TxFrame);
    --m_busy;
    // A first frame that did not go out is a port that cannot be used, also
    // when the port failed for good while taking it.
    if (!m_state.FrameSent) {
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
    if (m_autoDrive)
        m_timer.start();
    return true;
}

void CloneSession::EndEarly(CloneResult result)
{
    // Once the end frame is out the unit has left cloning and the run is
    // complete: an early end then only ends it a tick sooner, with its result.
    if (m_inRun && !m_ending)
        RequestEnd(m_state.CloneStep == StepEnd ? StepEndResult() : result);
}

CloneResult CloneSession::StepEndResult() const
{
    if (m_state.CloneMode != CloneMode::Read)
        return CloneResult::WriteComplete;
    return m_state.BlockNo == BlockCount ? CloneResult::ReadComplete : CloneResult::NotEnoughData;
}

void CloneSession::SendFrame(const QByteArray &hex)
{
    ++m_busy;
    m_state.RxText.clear();
    m_state.StartTime = m_clock.Now();
    m_state.FrameSent = false;
    const QByteArray bytes = HexToBytes(hex);
    const qint64 taken = m_port.IsOpen() ? m_port.Write(bytes) : -1;
    if (m_trace)
        m_trace->Sent(m_clock.Now(), hex, taken);
    // A frame the port refused, or took only in part, was not sent: no reply
    // is looked for, and the run ends at the time-out unless its echo is seen.
    m_state.FrameSent = taken == bytes.size();
    m_state.HeadFound = false;
    m_state.SearchPos = 0;
    --m_busy;
}

void CloneSession::CloneTick()
{
    // No tick inside another one: the final drain may deliver readyRead.
    if (m_ending || m_busy > 0)
        return;
    if (!m_state.CloneActive) {
        if (m_port.IsOpen())
            m_port.ClearInput();
        return;
    }
    ++m_busy;
    TickBody();
    --m_busy;
    RunPendingEnd();
}

void CloneSession::TickBody()
{
    CloneRunState &s = m_state;

    if (s.CloneStep == StepWriteRequest) {
        // No reply to the write request is awaited: the first block follows.
        if (s.FrameSent) {
            s.CloneStep = StepWriting;
            SendWriteBlock();
        } else if (TimedOut()) {
            EndClone(CloneResult::FrameNotTaken);
        }
        return;
    }

    if (s.CloneStep == StepEnd) {
        EndClone(StepEndResult());
        return;
    }

    // A port that says bytes wait but gives none counts as silent, so a failing
    // read cannot keep the run from timing out.
    const QByteArray bytes = m_port.BytesWaiting() > 0 ? m_port.ReadAll() : QByteArray();
    if (bytes.isEmpty()) {
        if (TimedOut())
            EndClone(TimeoutResult());
        return;
    }
    if (m_trace)
        m_trace->Received(m_clock.Now(), bytes);
    AppendHex(s.RxText, bytes);

    ProcessReceived();

    // A line that keeps talking without ever forming the awaited reply would
    // keep the run alive for ever: more than a receive buffer of it ends the run.
    if (m_inRun && !m_ending && s.CloneActive && s.RxText.size() > 2 * ReceiveBufferSize)
        EndClone(CloneResult::BufferOverflow);
}

void CloneSession::ProcessReceived()
{
    CloneRunState &s = m_state;

    // The frame's own echo proves it went out even when the port refused it.
    if (!s.FrameSent) {
        const qsizetype echo = FindHex(s.RxText, s.TxFrame, 0);
        if (echo >= 0) {
            s.FrameSent = true;
            s.HeadFound = false;
            s.SearchPos = echo + s.TxFrame.size();
        }
    }

    if (s.CloneStep == StepReading) {
        ReadBlocks();
        return;
    }

    if (!s.HeadFound && s.FrameSent) {
        const qsizetype head = FindHex(s.RxText, s.ReplyHead, s.SearchPos);
        if (head >= 0) {
            s.HeadFound = true;
            s.SearchPos = head + s.ReplyHead.size();
        }
    }
    if (!(s.HeadFound && s.FrameSent))
        return;

    const qsizetype tail = FindHex(s.RxText, s.ReplyTail, s.SearchPos);
    if (tail < 0)
        return;
    s.HeadFound = false;
    HandleReply(s.RxText.mid(s.SearchPos, tail - s.SearchPos));
}

void CloneSession::HandleReply(const QByteArray &payload)
{
    CloneRunState &s = m_state;
    switch (s.CloneStep) {
    case StepInquiry:
        if (!UnitPresent(payload)) {
            EndClone(CloneResult::NoUnit);
            return;
        }
        s.CloneStep = StepAccess;
        s.ReplyHead = IdentityReplyHead();
        s.ReplyTail = DataReplyTail();
        s.TxFrame = AccessFrame(m_accessCode);
        SendFrame(s.TxFrame);
        return;
    case StepAccess:
        if (!IdentityAccepted(payload)) {
            EndClone(CloneResult::UnknownUnit);
            return;
        }
        if (s.CloneMode == CloneMode::Read) {
            s.CloneStep = StepReadRequest;
            s.TxFrame = ReadRequestFrame();
        } else {
            s.CloneStep = StepWriteRequest;
            s.TxFrame = WriteRequestFrame();
        }
        s.BlockNo = 0;
        s.ReplyHead = DataReplyHead();
        SendFrame(s.TxFrame);
        return;
    case StepReadRequest:
        // The first data frame is still in RxText: ReadBlocks takes it from there.
        s.CloneStep = StepReading;
        ReadBlocks();
        return;
    case StepWriting:
        SendWriteBlock();
        return;
    default:
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
            return; // not complete yet; the next tick tries again
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
    m_state.CloneStep = StepEnd;
    m_state.TxFrame = EndFrame();
    SendFrame(m_state.TxFrame);
}

int CloneSession::DrainMs() const
{
    // F-ABORT's time on the wire (ten bits a byte) plus a margin for the adapter.
    if (m_speed <= 0)
        return MaxDrainMs;
    const qint64 bits = static_cast<qint64>(AbortFrame().size() / 2) * 10;
    const qint64 wireMs = (bits * 1000 + m_speed - 1) / m_speed;
    return static_cast<int>(std::min<qint64>(wireMs + 500, MaxDrainMs));
}

void CloneSession::EndClone(CloneResult result)
{
    if (!m_inRun || m_ending)
        return;
    m_ending = true;
    m_endPending = false;
    m_timer.stop();

    // An early end tells the unit to leave cloning. The wait for it to leave
    // the port is bounded, so a stuck adapter cannot freeze the program.
    if (m_port.IsOpen() && m_state.CloneStep != StepEnd) {
        m_state.TxFrame = EndFrame();
        SendFrame(AbortFrame());
        if (!m_port.WaitUntilSent(DrainMs()))
            TraceNote(QStringLiteral("abort frame not fully sent; %1 bytes left").arg(m_port.BytesToSend()));
    }
    if (m_port.IsOpen())
        m_port.Close();
    m_state.CloneActive = false;
    m_lastResult = result;
    TraceNote(QStringLiteral("end, result %1").arg(static_cast<int>(result)));
    m_inRun = false;
    m_ending = false;
    emit finished(result);
}

CloneResult CloneSession::TimeoutResult() const
{
    if (m_state.CloneStep == StepAccess)
        return CloneResult::AccessCodeError;
    return m_state.FrameSent ? CloneResult::NoAnswer : CloneResult::FrameNotTaken;
}

void CloneSession::Report(int blockNo)
{
    emit progress(ClampProgress(BlockProgress(blockNo)));
}

void CloneSession::RequestEnd(std::optional<CloneResult> result)
{
    if (m_busy > 0) {
        if (!m_endPending) {
            m_endPending = true;
            m_pendingResult = result;
        }
        return;
    }
    EndClone(result.value_or(TimeoutResult()));
}

void CloneSession::RunPendingEnd()
{
    if (!m_endPending || m_busy > 0)
        return;
    m_endPending = false;
    EndClone(m_pendingResult.value_or(TimeoutResult()));
}

void CloneSession::OnReceiveOverflow()
{
    if (!m_inRun || m_ending)
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
    if (!m_inRun || m_ending)
        return;
    // A run that already sent its end frame finishes at the next tick as usual;
    // any other ends as the silence of a lost line would end it.
    if (m_state.CloneStep != StepEnd)
        RequestEnd(std::nullopt);
}

void CloneSession::OnReadyRead()
{
    if (m_autoDrive && m_state.CloneActive)
        CloneTick();
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
