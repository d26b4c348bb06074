// SPDX-License-Identifier: GPL-3.0-or-later
// The window program from its first step to its end: one instance per user,
// the options and the initial settings file, the main window until closed,
// then the options saved.
#pragma once

#include "main_window.h"

#include <functional>

namespace vireo {

/// The desktop session is ending: a close request like any other, asked
/// once and cancelled when the user cancels the save question. A session
/// that lets nobody ask (`manager`, a QSessionManager) ends the window as a
/// termination request does: a clone is ended, the options are kept.
template <typename SessionManager> void AnswerSessionEnd(MainWindow &window, SessionManager &manager)
{
    if (!manager.allowsInteraction()) {
        window.EndWithoutAsking();
        return;
    }
    const bool agreed = window.RequestClose();
    manager.release();
    if (agreed)
        window.close();
    else
        manager.cancel();
}

/// Runs the program; its exit status. `shown`, when given, runs once the
/// main window has been opened (the start-up benchmark hooks in there).
int RunWindowProgram(int argc, char *argv[], const std::function<void(MainWindow &)> &shown = {});

} // namespace vireo
