// SPDX-License-Identifier: GPL-3.0-or-later
// The port settings' Test: the inquiry sent on a port, and the exchange ended
// as soon as the unit has answered, so the unit never stays in cloning.
#pragma once

#include "clone_command.h"

namespace vireo {

/** What a port's Test found. */
struct PortProbe {
    bool answered = false; ///< a unit answered the inquiry
    QString text;          ///< what to tell the user
};

/// Sends the inquiry on the port and waits (at most the clone's own
/// time-out) for the unit's status; a unit that answers is sent the abort
/// frame at once. Nothing is read from or written to the unit's memory.
PortProbe ProbePort(CloneSession &session, const ClonePortChoice &port, std::int32_t accessCode);

} // namespace vireo
