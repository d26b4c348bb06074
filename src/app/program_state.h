// SPDX-License-Identifier: GPL-3.0-or-later
// The program-wide state in one owner, and the start-up steps that give it
// its start values: options from the profile, the initial settings file, the
// clone access code and an untitled, clean document.
#pragma once

#include "clone/clone_session.h"
#include "clone/serial_port.h"
#include "document.h"
#include "model/unit_model.h"
#include "profile/program_options.h"
#include "profile/serial_devices.h"
#include "user_dialogs.h"

#include <cstdint>

namespace vireo {

/** Everything the program keeps for its whole run; the window and its tests reach it here. */
struct ProgramState {
    explicit ProgramState(ProfileFile profileFile) : profile(std::move(profileFile)) {}
    ProgramState(const ProgramState &) = delete;
    ProgramState &operator=(const ProgramState &) = delete;

    ProfileFile profile;
    ProgramOptions options;
    UnitModel model;
    Document document{model};
    /// The code sent to the unit at the start of every clone; never saved.
    std::int32_t accessCode = DefaultAccessCode;
    /// The serial devices [PORTS] names for COM1 to COM4 (empty: the default
    /// device, chosen when a clone starts); read once with the options.
    std::array<QString, ComPortCount> configuredPorts;

    // The clone link: the serial port, the clock of its time-outs and the
    // session that runs one clone at a time over them.
    std::unique_ptr<SerialPort> port = MakeSystemSerialPort();
    SteadyCloneClock clock;
    CloneSession cloneSession{model, *port, clock};
};

/// The start-up steps after the single-instance test, in order: the options,
/// the initial settings file at initialFile, the access code, an untitled
/// clean document. An illegal initial file is reported and leaves the image
/// all zero; an initial file that cannot be opened is reported and gives
/// false: the program then ends without a window and without saving options.
bool StartUp(ProgramState &state, const QString &initialFile, UserDialogs &dialogs);

} // namespace vireo
