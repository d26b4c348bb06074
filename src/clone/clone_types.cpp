// SPDX-License-Identifier: GPL-3.0-or-later
// The maps from a clone result to its words and to its exit status, one
// switch each, so that no caller compares result numbers.
#include "clone_types.h"

namespace vireo {

QString CloneModeWord(CloneMode mode)
{
    switch (mode) {
    case CloneMode::Read:
        return QStringLiteral("Read");
    case CloneMode::Write:
        return QStringLiteral("Write");
    }
    return {};
}

bool IsCloneError(CloneResult result)
{
    switch (result) {
    case CloneResult::PortFailed:
    case CloneResult::BufferOverflow:
    case CloneResult::FrameNotTaken:
    case CloneResult::NoAnswer:
    case CloneResult::IllegalData:
    case CloneResult::NoUnit:
    case CloneResult::UnknownUnit:
    case CloneResult::AccessCodeError:
    case CloneResult::DataOverflow:
    case CloneResult::NotEnoughData:
        return true;
    case CloneResult::ReadComplete:
    case CloneResult::WriteComplete:
    case CloneResult::Cancelled:
        return false;
    }
    return false;
}

QString CloneResultName(CloneResult result)
{
    switch (result) {
    case CloneResult::PortFailed:
        return QStringLiteral("port cannot be used");
    case CloneResult::BufferOverflow:
        return QStringLiteral("receive buffer overflow");
    case CloneResult::FrameNotTaken:
        return QStringLiteral("port did not send");
    case CloneResult::NoAnswer:
        return QStringLiteral("no answer");
    case CloneResult::IllegalData:
        return QStringLiteral("illegal data");
    case CloneResult::NoUnit:
        return QStringLiteral("no unit");
    case CloneResult::UnknownUnit:
        return QStringLiteral("unknown unit");
    case CloneResult::AccessCodeError:
        return QStringLiteral("access code refused");
    case CloneResult::DataOverflow:
        return QStringLiteral("too much data");
    case CloneResult::NotEnoughData:
        return QStringLiteral("not enough data");
    case CloneResult::ReadComplete:
        return QStringLiteral("read complete");
    case CloneResult::WriteComplete:
        return QStringLiteral("write complete");
    case CloneResult::Cancelled:
        return QStringLiteral("interrupted");
    }
    return QStringLiteral("unknown result");
}

int CloneExitStatus(CloneResult result)
{
    // Failures give 10 plus the message number the window would show, so a
    // script can tell them apart by the same numbers as the messages.
    switch (result) {
    case CloneResult::ReadComplete:
    case CloneResult::WriteComplete:
        return 0;
    case CloneResult::PortFailed:
        return 10;
    case CloneResult::BufferOverflow:
        return 11;
    case CloneResult::FrameNotTaken:
        return 12;
    case CloneResult::NoAnswer:
        return 13;
    case CloneResult::IllegalData:
        return 14;
    case CloneResult::NoUnit:
        return 15;
    case CloneResult::UnknownUnit:
        return 16;
    case CloneResult::AccessCodeError:
        return 17;
    case CloneResult::DataOverflow:
        return 18;
    case CloneResult::NotEnoughData:
        return 19;
    case CloneResult::Cancelled:
        return 130;
    }
    return 10;
}

} // namespace vireo
