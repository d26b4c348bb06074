// SPDX-License-Identifier: GPL-3.0-or-later
// Frames, patterns and conversions of the clone link.
#include "clone_frames.h"

#include "model/hex_text.h"

#include <algorithm>

namespace vireo {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

// A hexadecimal digit's value; anything else counts as 0, as the frame texts
// built here hold only digits and spaces.
int DigitValue(char c)
{
    return std::max(HexDigitValue(c), 0);
}

// Start of every unit reply after its single leading FE.
QByteArray UnitHeader()
{
    return QByteArray(piece::UnitAddress) + piece::HostAddress + piece::Command + piece::Fixed;
}

QByteArray Preamble(int count)
{
    return QByteArray(piece::Preamble).repeated(count);
}

// A data frame of the program: two preamble bytes, header, sub-command 02,
// the data, CR LF, end mark.
QByteArray HostDataFrame(QByteArrayView dataHex)
{
    return Preamble(2) + HostHeader() + piece::SubData + dataHex.toByteArray() + piece::CR + piece::LF +
           piece::EndMark;
}

} // namespace

QByteArray HostHeader()
{
    return QByteArray(piece::HostAddress) + piece::UnitAddress + piece::Command + piece::Fixed;
}

QByteArray AsciiHex(QByteArrayView text, int width)
{
    QByteArray padded = QByteArray("0000000000") + text.toByteArray();
    if (width < 0)
        width = 0;
    return BytesToHex(padded.right(width));
}

QByteArray HexToBytes(QByteArrayView hex)
{
    QByteArray bytes;
    bytes.reserve(hex.size() / 2);
    qsizetype i = 0;
    while (hex.size() - i >= 2) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        bytes.append(static_cast<char>((DigitValue(hex[i]) << 4) | DigitValue(hex[i + 1])));
        i += 2;
    }
    return bytes;
}

void AppendHex(QByteArray &text, QByteArrayView bytes)
{
    const qsizetype start = text.size();
    text.resize(start + 2 * bytes.size());
    char *out = text.data() + start;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = HexDigits[b >> 4];
        *out++ = HexDigits[b & 0x0F];
    }
}

QByteArray BytesToHex(QByteArrayView bytes)
{
    QByteArray text;
    AppendHex(text, bytes);
    return text;
}

QByteArray InquiryFrame()
{
    return Preamble(12) + HostHeader() + piece::SubInquiry + piece::EndMark;
}

QByteArray AccessFrame(std::int32_t accessCode)
{
    return HostDataFrame(AsciiHex(QByteArray::number(accessCode), 5));
}

QByteArray ReadRequestFrame()
{
    return HostDataFrame(piece::ReadRequest);
}

QByteArray WriteRequestFrame()
{
    return HostDataFrame(piece::WriteRequest);
}

QByteArray BlockFrame(std::uint16_t word)
{
    return HostDataFrame(AsciiHex(WordHexText(word).toLatin1(), 4));
}

QByteArray EndFrame()
{
    return Preamble(2) + HostHeader() + piece::SubEnd + piece::EndMark;
}

QByteArray AbortFrame()
{
    return Preamble(10) + EndFrame().repeated(8);
}

QByteArray StatusReplyHead()
{
    return QByteArray(piece::Preamble) + UnitHeader() + piece::SubInquiry;
}

QByteArray StatusReplyTail()
{
    return QByteArray(piece::EndMark);
}

QByteArray IdentityReplyHead()
{
    return QByteArray(piece::Preamble) + UnitHeader();
}

QByteArray DataReplyHead()
{
    return IdentityReplyHead() + piece::SubData;
}

QByteArray DataReplyTail()
{
    return QByteArray(piece::LF) + piece::CR + piece::EndMark;
}

bool UnitPresent(QByteArrayView payload)
{
    // Only the lowest bit matters, so the low 16 bits of the number are enough.
    return (LeadingHexValue(payload) & 1) != 0;
}

bool IdentityAccepted(QByteArrayView payload)
{
    return payload == QByteArray(QByteArray(piece::SubData) + piece::Identity2);
}

std::optional<std::uint16_t> DecodeBlockPayload(QByteArrayView payload)
{
    if (payload.size() != 8)
        return std::nullopt;
    return LeadingHexValue(HexToBytes(payload));
}

qsizetype FindHex(QByteArrayView text, QByteArrayView pattern, qsizetype from)
{
    if (from < 0)
        from = 0;
    qsizetype pos = text.indexOf(pattern, from);
    while (pos >= 0 && (pos & 1) != 0)
        pos = text.indexOf(pattern, pos + 1);
    return pos;
}

qsizetype HexBytesMissing(QByteArrayView text, QByteArrayView pattern, qsizetype from)
{
    if (FindHex(text, pattern, from) >= 0)
        return 0;
    from = std::max<qsizetype>(from, 0);
    from += from & 1; // matches begin on a byte boundary
    qsizetype overlap = std::min(pattern.size() - 2, text.size() - from) & ~qsizetype(1);
    while (overlap > 0 && text.last(overlap) != pattern.first(overlap))
        overlap -= 2;
    return (pattern.size() - std::max<qsizetype>(overlap, 0)) / 2;
}

QByteArray UnitStatusReply(std::uint8_t status)
{
    const char byte[] = {static_cast<char>(status)};
    return QByteArray(piece::Preamble) + StatusReplyHead() + BytesToHex(QByteArrayView(byte, 1)) +
           StatusReplyTail();
}

QByteArray UnitIdentityReply(QByteArrayView payloadHex)
{
    return QByteArray(piece::Preamble) + IdentityReplyHead() + payloadHex.toByteArray() + DataReplyTail();
}

QByteArray UnitDataReply(QByteArrayView payloadHex)
{
    return QByteArray(piece::Preamble) + DataReplyHead() + payloadHex.toByteArray() + DataReplyTail();
}

QByteArray UnitBlockReply(std::uint16_t word)
{
    return UnitDataReply(AsciiHex(WordHexText(word).toLatin1(), 4));
}

QByteArray UnitEmptyReply()
{
    return UnitDataReply({});
}

HostFrame ParseHostFrame(QByteArrayView bytes)
{
    HostFrame frame;
    qsizetype i = 0;
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) == 0xFE)
        ++i;
    const QByteArray body = BytesToHex(bytes.sliced(i));
    const QByteArray header = HostHeader();
    if (!body.startsWith(header) || !body.endsWith(piece::EndMark))
        return frame;
    const QByteArray rest = body.mid(header.size(), body.size() - header.size() - 2);
    if (rest == piece::SubInquiry) {
        frame.kind = HostFrame::Inquiry;
        return frame;
    }
    if (rest == piece::SubEnd) {
        frame.kind = HostFrame::End;
        return frame;
    }
    const QByteArray lineEnd = QByteArray(piece::CR) + piece::LF;
    if (!rest.startsWith(piece::SubData) || !rest.endsWith(lineEnd))
        return frame;
    frame.data = HexToBytes(rest.mid(2, rest.size() - 2 - lineEnd.size()));
    if (frame.data == "02")
        frame.kind = HostFrame::ReadRequest;
    else if (frame.data == "03")
        frame.kind = HostFrame::WriteRequest;
    else if (frame.data.size() == 5)
        frame.kind = HostFrame::Access;
    else if (frame.data.size() == 4)
        frame.kind = HostFrame::Block;
    return frame;
}

} // namespace vireo
