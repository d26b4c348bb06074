// SPDX-License-Identifier: GPL-3.0-or-later
// The clone link's own types: the direction of a run, its steps and phases,
// and how it ended, with the maps that turn a result into words and an exit status.
#pragma once

#include <QMetaType>
#include <QString>

namespace vireo {

/// The direction of a run.
enum class CloneMode { Read, Write };
/// "Read" or "Write", as traces and messages name the mode.
QString CloneModeWord(CloneMode mode);

/// The steps of a run. A read passes Inquiry, Access, ReadRequest, Reading,
/// End; a write passes Inquiry, Access, WriteRequest, Writing, End.
enum class CloneStep {
    Inquiry,      ///< F-INQUIRY sent, the status reply awaited
    Access,       ///< F-ACCESS sent, the identity reply awaited
    ReadRequest,  ///< F-READ sent, the first data block awaited
    WriteRequest, ///< F-WRITE sent; nothing is awaited, the first block follows
    Reading,      ///< data blocks are being stored
    Writing,      ///< blocks are being sent and acknowledged
    End,          ///< F-END sent; the run ends at the next poll
};

/// Where a run stands. While a run is active, the phase also says how far
/// the reply to the last frame has come.
enum class ClonePhase {
    Idle,        ///< no run
    Opening,     ///< StartClone is setting up the port
    FrameUnsent, ///< the port did not take the last frame, and no echo of it was seen
    AwaitHead,   ///< the last frame went out; the reply's head is awaited
    AwaitTail,   ///< the head was found; the reply's tail is awaited
    Ending,      ///< EndClone is closing the run
};

/// How a clone run ended. The numbers are shown in traces and make the
/// command line's exit statuses; they never change.
enum class CloneResult : int {
    PortFailed = 0,      ///< the port could not be set up, or the first frame not written
    BufferOverflow = 1,  ///< received bytes were lost, or a line babbled without an answer
    FrameNotTaken = 2,   ///< time-out after a frame the port did not take, or the port was lost
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

/// True for the results that are shown as an error message.
bool IsCloneError(CloneResult result);
/// The result in words, for traces ("no answer from transceiver").
QString CloneResultName(CloneResult result);
/// The exit status vireo-cli gives for the result: 0 for a completed run,
/// 10 + the result number for a failure, 130 for a run ended on request.
int CloneExitStatus(CloneResult result);

} // namespace vireo

Q_DECLARE_METATYPE(vireo::CloneResult)
