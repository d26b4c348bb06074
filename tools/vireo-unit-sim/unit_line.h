// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated unit's line: a pseudo-terminal it creates (or a serial device
// it is given), the event loop that feeds it and paces its output.
#pragma once

#include <QString>

namespace vireo {

class UnitSimulator;

struct UnitLineOptions {
    QString device;   ///< serve on this device instead of a new pseudo-terminal
    QString link;     ///< symbolic link to the pseudo-terminal, removed at exit
    QString savePath; ///< the memory is written here after every completed write
    bool once = false;
};

/// Serves the unit until SIGTERM/SIGINT (or one run with `once`); the exit status:
/// 0 done, 2 the line could not be set up or a save failed.
int RunUnitLine(const UnitLineOptions &options, UnitSimulator &unit);

} // namespace vireo
