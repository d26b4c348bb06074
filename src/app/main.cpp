// SPDX-License-Identifier: GPL-3.0-or-later
// The window program's entry: one instance per user, the options and the
// initial settings file, then the main window until it is closed.
#include "app/program_paths.h"
#include "app/program_state.h"
#include "app/single_instance.h"
#include "profile/profile_location.h"
#include "ui/main_window.h"
#include "ui/program_icon.h"
#include "ui/qt_user_dialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    using namespace vireo;
    QCoreApplication::setApplicationName(QStringLiteral("vireo"));
    // First, before anything is read or shown: a second start ends silently.
    SingleInstance instance;
    if (!instance.IsFirst())
        return 0;

    QApplication app(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    ProgramState state(OpenProfile());
    QtUserDialogs dialogs;
    if (!StartUp(state, InitialFilePath(), dialogs))
        return 1;
    MainWindow window(state, dialogs);
    dialogs.SetParent(&window);
    window.Open();
    const int status = QApplication::exec();
    // A profile that cannot be written loses this run's options without a message.
    (void)SaveOptions(state.profile, state.options);
    return status;
}
