// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds its own files: the folder of the program file and
// the initial settings file beside it.
#pragma once

#include <QString>

namespace vireo {

/// The folder that holds the running program file.
QString ProgramFolder();
/// The initial settings file VIREO.sts: in the program folder, or in
/// share/vireo beside an installed program's bin folder.
QString InitialFilePath();

} // namespace vireo
