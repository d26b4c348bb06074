// SPDX-License-Identifier: GPL-3.0-or-later
// The window program from its first step to its end: one instance per user,
// the options and the initial settings file, the main window until closed,
// then the options saved.
#pragma once

#include <functional>

namespace vireo {

class MainWindow;

/// Runs the program; its exit status. `shown`, when given, runs once the
/// main window has been opened (the start-up benchmark hooks in there).
int RunWindowProgram(int argc, char *argv[], const std::function<void(MainWindow &)> &shown = {});

} // namespace vireo
