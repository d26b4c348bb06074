// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_state.h"

#include "model/settings_file.h"

namespace vireo {

bool StartUp(ProgramState &state, const QString &initialFile, UserDialogs &dialogs)
{
    LoadOptions(state.profile, state.options);
    state.configuredPorts = ConfiguredSerialDevices(state.profile);
    const Result<LoadOutcome> loaded = LoadDataFile(initialFile, state.model);
    if (!loaded) {
        ShowFileError(dialogs, FileErrorCode::CannotOpenInitial, initialFile, loaded.error());
        return false;
    }
    if (*loaded == LoadStatus::Illegal)
        ShowFileError(dialogs, FileErrorCode::IllegalInitial, initialFile, loaded->problem);
    state.accessCode = DefaultAccessCode;
    state.document.SetUntitled();
    return true;
}

} // namespace vireo
