// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_program.h"

#include "app/program_paths.h"
#include "app/program_state.h"
#include "app/single_instance.h"
#include "main_window.h"
#include "profile/profile_location.h"
#include "program_icon.h"
#include "qt_user_dialogs.h"

#include <QApplication>

namespace vireo {

int RunWindowProgram(int argc, char *argv[], const std::function<void(MainWindow &)> &shown)
{
    QCoreApplication::setApplicationName(QStringLiteral("vireo"));
    // First, before anything is read or shown: a second start ends silently.
    SingleInstance instance;
    if (!instance.IsFirst())
        return 0;

    // The application comes before the options: the start-up messages need it.
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    ProgramState state(OpenProfile());
    QtUserDialogs dialogs;
    if (!StartUp(state, InitialFilePath(), dialogs))
        return 1;
    MainWindow window(state, dialogs);
    dialogs.SetParent(&window);
    window.Open();
    if (shown)
        shown(window);
    const int status = QApplication::exec();
    // A profile that cannot be written loses this run's options without a message.
    (void)SaveOptions(state.profile, state.options);
    return status;
}

} // namespace vireo
