// SPDX-License-Identifier: GPL-3.0-or-later
// The console progress bar's terminal on Windows: a console has a console
// mode; a file, a pipe and NUL (a character device all the same) have none.
#include "console_progress.h"

#include <windows.h>

namespace vireo::cli {

bool StandardErrorIsTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode);
}

} // namespace vireo::cli
