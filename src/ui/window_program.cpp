// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_program.h"

#include "app/program_state.h"
#include "app/single_instance.h"
#include "base/interrupt_watcher.h"
#include "base/program_folders.h"
#include "profile/profile_location.h"
#include "program_icon.h"
#include "qt_user_dialogs.h"

#include <QApplication>
#include <QSessionManager>

namespace vireo {

int RunWindowProgram(int argc, char *argv[], const std::function<void(MainWindow &)> &shown)
{
    QCoreApplication::setApplicationName(QStringLiteral("vireo"));
    // Before any thread starts: a termination request, Ctrl+C in the starting
    // terminal or its hang-up wait to be read below instead of cutting the
    // program off mid-clone with its options unsaved.
    HoldInterrupts();
    // First, before anything is read or shown: a second start ends silently.
    SingleInstance instance;
    const Result<InstanceState> running = instance.Acquire();
    if (running && *running == InstanceState::AlreadyRunning)
        return 0;

    // The application comes before the options: the start-up messages need it.
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    QtUserDialogs dialogs;
    // A lock that cannot be judged is said, never passed over: silence would
    // look like a window that never opens.
    if (!running) {
        dialogs.MessageBox(QStringLiteral("Vireo cannot tell whether it is already running: ") +
                               running.error(),
                           Buttons::Ok);
        return 1;
    }
    ProgramState state(OpenProfile());
    if (!StartUp(state, InitialFilePath(), dialogs))
        return 1;
    MainWindow window(state, dialogs);
    dialogs.SetParent(&window);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &manager) { AnswerSessionEnd(window, manager); });
    InterruptWatcher interrupts;
    interrupts.Notify(&window, [&window] { window.EndWithoutAsking(); });
    window.ShowAtStartUp();
    if (shown)
        shown(window);
    return QApplication::exec(); // the window saves the options as it closes
}

} // namespace vireo
