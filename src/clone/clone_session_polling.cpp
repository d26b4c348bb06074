// SPDX-License-Identifier: GPL-3.0-or-later
// What drives a clone run between its steps: the polls and the timer that
// schedules them, the received bytes taken in, the frame's echo and the
// awaited reply found in them, and the time-outs.
#include "clone_session.h"

#include "clone_frames.h"
#include "clone_trace.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vireo {

void CloneSession::CloneTick()
{
    // No poll inside another one: a send or the final drain may deliver readyRead.
    if (m_state.Phase == ClonePhase::Ending || m_busy > 0) {
        m_pollMissed = m_busy > 0;
        return;
    }
    if (!m_state.Active()) {
        if (m_port.IsOpen())
            m_port.ClearInput();
        return;
    }
    ++m_busy;
    TickBody();
    --m_busy;
    RunPendingEnd();
    ScheduleNextPoll();
}

void CloneSession::ScheduleNextPoll()
{
    if (!m_autoDrive || !m_state.Active()) {
        m_timer.stop();
        return;
    }
    m_port.AwaitBytes(BytesAwaited());
    // The write request and the end frame await nothing: their poll is due at once.
    const bool missed = std::exchange(m_pollMissed, false);
    if (missed || m_state.CloneStep == CloneStep::End ||
        (m_state.CloneStep == CloneStep::WriteRequest && m_state.FrameSent())) {
        m_armedFor.reset();
        m_timer.start(0);
        return;
    }
    // Otherwise the first poll that could find the reply overdue: just after
    // the time-out, or at once again while bytes keep coming past it. Bytes
    // that arrive before it leave the timer alone; only a send or a stored
    // block moves it.
    const double left = m_state.StartTime + ReplyTimeout - m_clock.Now();
    if (left <= 0) {
        m_armedFor.reset();
        m_timer.start(1);
    } else if (!m_timer.isActive() || m_armedFor != m_state.StartTime) {
        m_armedFor = m_state.StartTime;
        m_timer.start(static_cast<int>(std::ceil(left * 1000.0)) + 1);
    }
}

qint64 CloneSession::BytesAwaited() const
{
    const CloneRunState &s = m_state;
    // A frame whose echo is looked for, and the steps that await no reply, count every byte.
    if (s.Phase == ClonePhase::FrameUnsent || s.CloneStep == CloneStep::WriteRequest ||
        s.CloneStep == CloneStep::End)
        return 1;
    // While reading, each data frame is looked for from the start of what is left.
    const qsizetype from = s.CloneStep == CloneStep::Reading ? 0 : s.SearchPos;
    qsizetype tailFrom = s.SearchPos;
    qsizetype missing = -1;
    if (s.CloneStep == CloneStep::Reading || s.Phase == ClonePhase::AwaitHead) {
        const qsizetype head = FindHex(s.RxText, s.ReplyHead, from);
        if (head < 0)
            missing = HexBytesMissing(s.RxText, s.ReplyHead, from) + s.ReplyTail.size() / 2;
        else
            tailFrom = head + s.ReplyHead.size();
    }
    if (missing < 0)
        missing = HexBytesMissing(s.RxText, s.ReplyTail, tailFrom);
    // The byte that makes the received text overflow must not wait either.
    missing = std::min(missing, ReceiveBufferSize + 1 - s.RxText.size() / 2);
    return std::max<qint64>(missing, 1);
}

void CloneSession::OnTimer()
{
    // A time-out is decided on every byte that has arrived: the port hands over
    // what it held back (a readyRead, so a poll of its own) before this poll.
    if (m_autoDrive)
        m_port.AwaitBytes(1);
    CloneTick();
}

void CloneSession::TickBody()
{
    CloneRunState &s = m_state;

    if (s.CloneStep == CloneStep::WriteRequest) {
        // No reply to the write request is awaited: the first block follows.
        if (s.FrameSent()) {
            s.CloneStep = CloneStep::Writing;
            SendWriteBlock();
        } else if (TimedOut()) {
            EndClone(CloneResult::FrameNotTaken);
        }
        return;
    }

    if (s.CloneStep == CloneStep::End) {
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
    if (s.Active() && s.RxText.size() > 2 * ReceiveBufferSize)
        EndClone(CloneResult::BufferOverflow);
}

void CloneSession::ProcessReceived()
{
    CloneRunState &s = m_state;

    // The frame's own echo proves it went out even when the port refused it.
    if (s.Phase == ClonePhase::FrameUnsent) {
        const qsizetype echo = FindHex(s.RxText, s.TxFrame, 0);
        if (echo >= 0) {
            s.Phase = ClonePhase::AwaitHead;
            s.SearchPos = echo + s.TxFrame.size();
        }
    }

    if (s.CloneStep == CloneStep::Reading) {
        ReadBlocks();
        return;
    }

    if (s.Phase == ClonePhase::AwaitHead) {
        const qsizetype head = FindHex(s.RxText, s.ReplyHead, s.SearchPos);
        if (head >= 0) {
            s.Phase = ClonePhase::AwaitTail;
            s.SearchPos = head + s.ReplyHead.size();
        }
    }
    if (s.Phase != ClonePhase::AwaitTail)
        return;

    const qsizetype tail = FindHex(s.RxText, s.ReplyTail, s.SearchPos);
    if (tail < 0)
        return;
    s.Phase = ClonePhase::AwaitHead;
    HandleReply(s.RxText.mid(s.SearchPos, tail - s.SearchPos));
}

void CloneSession::OnReadyRead()
{
    if (m_autoDrive && m_state.Active())
        CloneTick();
}

} // namespace vireo
