// SPDX-License-Identifier: GPL-3.0-or-later
// Every frame of the clone link, built from its fixed pieces as upper-case
// hexadecimal text, the reply patterns, the text conversions and the search
// that finds a reply in received text. The simulated unit builds its replies here too.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <optional>

namespace vireo {

// The fixed pieces every frame and pattern is made of (hexadecimal text).
namespace piece {
inline constexpr char Preamble[] = "FE";
inline constexpr char HostAddress[] = "EE"; // first byte of the program's address pair
inline constexpr char UnitAddress[] = "EF"; // first byte of the unit's address pair
inline constexpr char Command[] = "E8";
inline constexpr char Fixed[] = "20240000";
inline constexpr char SubInquiry[] = "00";
inline constexpr char SubEnd[] = "01";
inline constexpr char SubData[] = "02";
inline constexpr char CR[] = "0D";
inline constexpr char LF[] = "0A";
inline constexpr char EndMark[] = "FD";
inline constexpr char ReadRequest[] = "3032";  // ASCII "02"
inline constexpr char WriteRequest[] = "3033"; // ASCII "03"
inline constexpr char Identity2[] = "32";      // second byte of the accepted identity
} // namespace piece

/// Bits on the wire for each byte: a start bit, 8 data bits, a stop bit.
inline constexpr int BitsPerByte = 10;

/// The characters of text, left-padded with "0" and cut to its last `width`
/// characters, each written as the two hexadecimal digits of its code.
QByteArray AsciiHex(QByteArrayView text, int width);
/// The bytes that hexadecimal text spells; a space where a byte would start is
/// skipped, a lone last character ignored.
QByteArray HexToBytes(QByteArrayView hex);
/// The bytes as upper-case hexadecimal text, two characters per byte.
QByteArray BytesToHex(QByteArrayView bytes);
/// Appends the bytes' hexadecimal text to text (how received bytes are gathered).
void AppendHex(QByteArray &text, QByteArrayView bytes);

/// The start of every program frame after its preamble (hexadecimal text):
/// address pair, command, fixed field.
QByteArray HostHeader();

// The program's frames (hexadecimal text).
QByteArray InquiryFrame();                       ///< F-INQUIRY, 21 bytes
QByteArray AccessFrame(std::int32_t accessCode); ///< F-ACCESS, five ASCII digits, 18 bytes
QByteArray ReadRequestFrame();                   ///< F-READ, 15 bytes
QByteArray WriteRequestFrame();                  ///< F-WRITE, 15 bytes
QByteArray BlockFrame(std::uint16_t word);       ///< F-BLOCK, four ASCII hex digits, 17 bytes
QByteArray EndFrame();                           ///< F-END, 11 bytes
QByteArray AbortFrame();                         ///< F-ABORT: ten FE, then F-END eight times, 98 bytes

// The reply patterns awaited by the program (hexadecimal text).
QByteArray StatusReplyHead();   ///< R0 head; tail is StatusReplyTail()
QByteArray StatusReplyTail();   ///< "FD"
QByteArray IdentityReplyHead(); ///< R1 head; tail is DataReplyTail()
QByteArray DataReplyHead();     ///< R2 and R3 head
QByteArray DataReplyTail();     ///< "0A0DFD": line feed before carriage return

// Payload rules of the replies (payloads are hexadecimal text).
/// R0: the payload read as a hexadecimal number has its lowest bit set.
bool UnitPresent(QByteArrayView payload);
/// R1: the payload is exactly the bytes 02 32.
bool IdentityAccepted(QByteArrayView payload);
/// R2: eight characters, four bytes taken as characters and read as a hexadecimal
/// word (leading hex digits only, 0 when none). Other lengths give nothing.
std::optional<std::uint16_t> DecodeBlockPayload(QByteArrayView payload);

/// Offset of the first occurrence of pattern in hexadecimal text at or after
/// `from`, or -1. Only even offsets count: a match must begin on a byte
/// boundary, never between the two digits of one byte.
qsizetype FindHex(QByteArrayView text, QByteArrayView pattern, qsizetype from = 0);
/// The fewest bytes that must still arrive before FindHex(text, pattern, from)
/// can succeed (0 when it does): the pattern's length less the longest end of
/// the text, at or after `from`, that is a beginning of the pattern.
qsizetype HexBytesMissing(QByteArrayView text, QByteArrayView pattern, qsizetype from = 0);

// The unit's side of the link (hexadecimal text), for the simulated unit and tests.
// Replies start with two preamble bytes and carry the swapped address pair EF EE.
QByteArray UnitStatusReply(std::uint8_t status);                  ///< R0 with one status byte
QByteArray UnitIdentityReply(QByteArrayView payloadHex = "0232"); ///< R1; 02 32 is the accepted identity
QByteArray UnitDataReply(QByteArrayView payloadHex);              ///< R2/R3 with any payload
QByteArray UnitBlockReply(std::uint16_t word);                    ///< R2 carrying one word
QByteArray UnitEmptyReply(); ///< empty R2: end of data, or an acknowledgement

/** A program frame as the unit sees it. */
struct HostFrame {
    enum Kind { Inquiry, Access, ReadRequest, WriteRequest, Block, End, Unknown };
    Kind kind = Unknown;
    QByteArray data; ///< the ASCII data bytes (access digits, block digits, "02"/"03")
};

/// Reads one program frame from its bytes (any number of FE preamble bytes,
/// up to and including FD). Frames of another shape are Unknown.
HostFrame ParseHostFrame(QByteArrayView bytes);

} // namespace vireo
