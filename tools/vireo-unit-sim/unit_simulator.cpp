// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated unit's state machine, its reply stream and the wire timing
// that paces it. Every frame and reply comes from the clone frame builders.
#include "unit_simulator.h"

#include "clone/clone_frames.h"
#include "command_line.h"
#include "model/hex_text.h"

#include <QStringList>
#include <algorithm>
#include <utility>

namespace vireo {

namespace {

constexpr int MaxNoiseBytes = 8;
constexpr qsizetype MaxBabbleChunk = 4096;
constexpr qsizetype MaxPendingFrame = 4096;
// Bytes the wire may still owe the unit. Only a pseudo-terminal lets a program
// send faster than the line's speed; the unit's receiver then overruns and
// drops what lies beyond this backlog, so neither the echo nor the wait grows
// without end.
constexpr qint64 MaxReceiveBacklog = 4096;

QByteArray HostHeaderBytes()
{
    return HexToBytes(HostHeader());
}

char PreambleByte()
{
    return HexToBytes(piece::Preamble).at(0);
}

char EndMarkByte()
{
    return HexToBytes(piece::EndMark).at(0);
}

int LeadingPreambleCount(QByteArrayView bytes)
{
    int count = 0;
    while (count < bytes.size() && bytes[count] == PreambleByte())
        ++count;
    return count;
}

// How many FE bytes the program puts before a plain end frame; more of them
// mark the first end frame of its abort sequence.
int EndFramePreamble()
{
    return LeadingPreambleCount(HexToBytes(EndFrame()));
}

} // namespace

std::optional<QString> ParseUnitFault(const QString &argument, UnitFaults &faults)
{
    const qsizetype eq = argument.indexOf(u'=');
    const QString kind = eq < 0 ? argument : argument.left(eq);
    const std::optional<QString> value = eq < 0 ? std::nullopt : std::optional<QString>(argument.mid(eq + 1));

    struct Flag {
        const char *name;
        bool UnitFaults::*member;
    };
    static const Flag flags[] = {{"no-unit", &UnitFaults::noUnit},
                                 {"wrong-identity", &UnitFaults::wrongIdentity},
                                 {"extra-blocks", &UnitFaults::extraBlocks},
                                 {"babble", &UnitFaults::babble},
                                 {"crlf-reversed", &UnitFaults::crlfReversed}};
    for (const Flag &flag : flags) {
        if (kind != QLatin1String(flag.name))
            continue;
        if (value)
            return QStringLiteral("fault %1 takes no value").arg(kind);
        faults.*(flag.member) = true;
        return std::nullopt;
    }

    struct Counted {
        const char *name;
        std::optional<int> UnitFaults::*member;
        int min;
        int max;
    };
    static const Counted counted[] = {{"short-data", &UnitFaults::shortData, 0, word::Count - 1},
                                      {"bad-block", &UnitFaults::badBlock, 0, word::Count - 1},
                                      {"silent-after", &UnitFaults::silentAfter, 0, 1000000},
                                      {"unplug-after", &UnitFaults::unplugAfter, 0, 1000000},
                                      {"stuck-bit", &UnitFaults::stuckBit, 0, word::Count - 1}};
    for (const Counted &c : counted) {
        if (kind != QLatin1String(c.name))
            continue;
        const std::optional<int> n = value ? tool::ParseNumber(*value, c.min, c.max) : std::nullopt;
        if (!n)
            return QStringLiteral("fault %1 needs a number from %2 to %3, as in %1=%2")
                .arg(kind)
                .arg(c.min)
                .arg(c.max);
        faults.*(c.member) = *n;
        return std::nullopt;
    }

    if (kind == QLatin1String("noise")) {
        bool ok = false;
        const double rate = value ? value->toDouble(&ok) : 0.0;
        if (!ok || !(rate >= 0.0 && rate <= 1.0))
            return QStringLiteral("fault noise needs a rate from 0 to 1, as in noise=0.5");
        faults.noiseRate = rate;
        return std::nullopt;
    }
    return QStringLiteral("unknown fault \"%1\"; the faults are no-unit, wrong-identity, short-data=N, "
                          "extra-blocks, bad-block=N, silent-after=N, noise=RATE, babble, crlf-reversed, "
                          "unplug-after=N, stuck-bit=N")
        .arg(kind);
}

QString UnitRunEnd::Describe() const
{
    QString what;
    switch (mode) {
    case Handshake:
        what = QStringLiteral("run ended in the handshake");
        break;
    case Read:
        what = QStringLiteral("read: %1 blocks queued to send").arg(blocks);
        break;
    case Write:
        what = writeComplete ? QStringLiteral("write complete: %1 blocks stored").arg(blocks)
                             : QStringLiteral("write incomplete: %1 blocks stored").arg(blocks);
        break;
    }
    switch (cause) {
    case EndFrame:
        return what + QStringLiteral(", end frame received");
    case AbortFrame:
        return what + QStringLiteral(", aborted by the program");
    case NewInquiry:
        return what + QStringLiteral(", abandoned: a new run started");
    case LineClosed:
        return what + QStringLiteral(", abandoned: the program closed the port");
    }
    return what;
}

UnitSimulator::UnitSimulator(UnitSimConfig config)
    : m_config(std::move(config)), m_memory(m_config.memory),
      m_byteNs(m_config.baud > 0 ? qint64(1000000000) * BitsPerByte / m_config.baud : 0),
      m_random(m_config.seed)
{
    m_config.preamble = std::max(1, m_config.preamble);
}

void UnitSimulator::Receive(qint64 nowNs, QByteArrayView bytes)
{
    // The program's bytes cross the wire one byte time each; the echo follows
    // them byte for byte and a reply may start only once the frame is over.
    QByteArray echo;
    qint64 echoFrom = std::max(nowNs, m_rxFreeAt);
    for (char c : bytes) {
        if (m_byteNs > 0 && m_rxFreeAt - nowNs >= MaxReceiveBacklog * m_byteNs)
            continue;
        m_rxFreeAt = std::max(nowNs, m_rxFreeAt) + m_byteNs;
        if (m_config.echo)
            echo.append(c);
        m_rxFrame.append(c);
        if (c != EndMarkByte()) {
            if (m_rxFrame.size() > MaxPendingFrame)
                m_rxFrame.remove(0, m_rxFrame.size() - MaxPendingFrame / 2);
            continue;
        }
        if (!echo.isEmpty()) {
            m_queue.push_back({echoFrom, echo, false, true});
            echo.clear();
        }
        echoFrom = m_rxFreeAt;
        const QByteArray frame = std::exchange(m_rxFrame, {});
        HandleFrame(frame, m_rxFreeAt);
    }
    if (!echo.isEmpty())
        m_queue.push_back({echoFrom, echo, false, true});
}

void UnitSimulator::HandleFrame(QByteArrayView frameBytes, qint64 frameEndNs)
{
    // Whatever came before the frame's own preamble (line noise) is skipped.
    const qsizetype headerAt = frameBytes.indexOf(HostHeaderBytes());
    if (headerAt < 0)
        return;
    qsizetype start = headerAt;
    while (start > 0 && frameBytes[start - 1] == PreambleByte())
        --start;
    const int preamble = int(headerAt - start);
    const HostFrame frame = ParseHostFrame(frameBytes.sliced(start));
    m_replyAt = frameEndNs + qint64(m_config.turnaroundMs) * 1000000;

    switch (frame.kind) {
    case HostFrame::Inquiry:
        StartRun();
        if (m_config.faults.babble) {
            m_babbling = true;
            m_babbleFrom = m_replyAt;
            return;
        }
        SendReply(UnitStatusReply(m_config.faults.noUnit ? 0 : 1));
        m_state = m_config.faults.noUnit ? State::NoUnit : State::AwaitAccess;
        return;
    case HostFrame::Access:
        // A wrong code gets no answer at all, as on a real unit.
        if (m_state != State::AwaitAccess ||
            frame.data != HexToBytes(AsciiHex(QByteArray::number(m_config.accessCode), 5)))
            return;
        if (m_config.faults.wrongIdentity)
            SendReply(UnitIdentityReply(QByteArray(piece::SubData).append("33"))); // not the accepted 02 32
        else
            SendReply(UnitIdentityReply());
        m_state = State::AwaitRequest;
        return;
    case HostFrame::ReadRequest:
        if (m_state != State::AwaitRequest)
            return;
        m_state = State::Reading;
        m_mode = UnitRunEnd::Read;
        QueueRead();
        return;
    case HostFrame::WriteRequest:
        // The program sends its first block without waiting for an answer.
        if (m_state != State::AwaitRequest)
            return;
        m_state = State::Writing;
        m_mode = UnitRunEnd::Write;
        return;
    case HostFrame::Block: {
        if (m_state != State::Writing || m_blocks >= word::Count)
            return;
        const std::optional<std::uint16_t> value = DecodeBlockPayload(BytesToHex(frame.data));
        if (!value)
            return;
        m_memory[std::size_t(m_blocks)] = *value;
        ++m_blocks;
        SendReply(UnitEmptyReply());
        // The program waits for the last block's empty acknowledgement twice.
        if (m_blocks == word::Count)
            SendReply(UnitEmptyReply());
        return;
    }
    case HostFrame::End:
        if (m_state == State::Idle)
            return; // the rest of an abort sequence, or a stray end frame
        EndRun(preamble > EndFramePreamble() ? UnitRunEnd::AbortFrame : UnitRunEnd::EndFrame);
        return;
    case HostFrame::Unknown:
        return;
    }
}

void UnitSimulator::StartRun()
{
    if (m_state != State::Idle)
        EndRun(UnitRunEnd::NewInquiry);
    m_state = State::AwaitAccess;
    m_mode = UnitRunEnd::Handshake;
    m_blocks = 0;
    m_repliesQueued = 0;
    m_unplugQueued = false;
}

void UnitSimulator::EndRun(UnitRunEnd::Cause cause)
{
    UnitRunEnd end;
    end.mode = m_mode;
    end.cause = cause;
    end.blocks = m_blocks;
    end.writeComplete =
        m_mode == UnitRunEnd::Write && cause == UnitRunEnd::EndFrame && m_blocks == word::Count;
    m_runEnds.push_back(end);
    m_state = State::Idle;
    m_mode = UnitRunEnd::Handshake;
    m_babbling = false;

    // The unit stops talking; the cable's echo of bytes already received stays.
    const bool frontKept = !m_queue.empty() && m_queue.front().echo;
    std::erase_if(m_queue, [](const Segment &s) { return !s.echo; });
    if (!frontKept)
        m_queuePos = 0;
}

void UnitSimulator::SendReply(const QByteArray &replyHex)
{
    const UnitFaults &faults = m_config.faults;
    if (faults.unplugAfter && m_repliesQueued >= *faults.unplugAfter) {
        if (!m_unplugQueued)
            m_queue.push_back({m_replyAt, {}, true, false});
        m_unplugQueued = true;
        return;
    }
    if (faults.silentAfter && m_repliesQueued >= *faults.silentAfter)
        return;
    ++m_repliesQueued;

    // The reply's own preamble is replaced by the configured number of FE bytes.
    QByteArray hex = replyHex;
    while (hex.startsWith(piece::Preamble))
        hex.remove(0, 2);
    hex.prepend(QByteArray(piece::Preamble).repeated(m_config.preamble));
    if (faults.crlfReversed && hex.endsWith(DataReplyTail())) {
        hex.chop(DataReplyTail().size());
        hex += QByteArray(piece::CR) + piece::LF + piece::EndMark;
    }

    QByteArray bytes;
    if (faults.noiseRate > 0.0 &&
        std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < faults.noiseRate)
        bytes = RandomBytes(std::uniform_int_distribution<int>(1, MaxNoiseBytes)(m_random), true);
    bytes += HexToBytes(hex);
    m_queue.push_back({m_replyAt, bytes, false, false});
}

void UnitSimulator::QueueRead()
{
    // The unit streams all its data frames back to back, then an empty one.
    const UnitFaults &faults = m_config.faults;
    const int count = faults.shortData ? *faults.shortData : word::Count;
    for (int i = 0; i < count; ++i) {
        std::uint16_t value = m_memory[std::size_t(i)];
        if (faults.stuckBit && *faults.stuckBit == i)
            value |= 0x0001;
        if (faults.badBlock && *faults.badBlock == i)
            SendReply(UnitDataReply(AsciiHex(WordHexText(value).toLatin1(), 3))); // three bytes, not four
        else
            SendReply(UnitBlockReply(value));
        ++m_blocks;
    }
    if (faults.extraBlocks) {
        SendReply(UnitBlockReply(m_memory[0]));
        ++m_blocks;
    }
    SendReply(UnitEmptyReply());
}

QByteArray UnitSimulator::RandomBytes(int count, bool allowPreamble)
{
    // Without FE no reply head can ever form, so babble never becomes a reply.
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes;
    while (bytes.size() < count) {
        const char c = char(byte(m_random));
        if (allowPreamble || c != PreambleByte())
            bytes.append(c);
    }
    return bytes;
}

QByteArray UnitSimulator::TakeDue(qint64 nowNs)
{
    QByteArray out;
    while (!m_queue.empty() && !m_unplugged) {
        Segment &s = m_queue.front();
        const qint64 start = std::max(m_txFreeAt, s.notBefore);
        if (s.unplug) {
            if (start > nowNs)
                return out;
            m_unplugged = true;
            m_queue.clear();
            m_queuePos = 0;
            return out;
        }
        while (m_queuePos < s.bytes.size()) {
            const qint64 due = std::max(m_txFreeAt, s.notBefore) + m_byteNs;
            if (due > nowNs)
                return out;
            out.append(s.bytes[m_queuePos++]);
            m_txFreeAt = due;
        }
        m_queue.pop_front();
        m_queuePos = 0;
    }
    if (m_babbling && m_queue.empty()) {
        qsizetype count = 0;
        while (count < MaxBabbleChunk) {
            const qint64 due = std::max(m_txFreeAt, m_babbleFrom) + m_byteNs;
            if (due > nowNs)
                break;
            m_txFreeAt = due;
            ++count;
        }
        out += RandomBytes(int(count), false);
    }
    return out;
}

std::optional<qint64> UnitSimulator::NextDueNs() const
{
    if (m_unplugged)
        return std::nullopt;
    if (!m_queue.empty()) {
        const Segment &s = m_queue.front();
        const qint64 start = std::max(m_txFreeAt, s.notBefore);
        return s.unplug ? start : start + m_byteNs;
    }
    if (m_babbling)
        return std::max(m_txFreeAt, m_babbleFrom) + m_byteNs;
    return std::nullopt;
}

void UnitSimulator::LineClosed()
{
    if (m_state != State::Idle)
        EndRun(UnitRunEnd::LineClosed);
    m_queue.clear();
    m_queuePos = 0;
    m_rxFrame.clear();
}

std::vector<UnitRunEnd> UnitSimulator::TakeRunEnds()
{
    return std::exchange(m_runEnds, {});
}

} // namespace vireo
