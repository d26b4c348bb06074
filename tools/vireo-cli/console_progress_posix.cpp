// SPDX-License-Identifier: GPL-3.0-or-later
// The console progress bar's terminal on POSIX systems.
#include "console_progress.h"

#include <cstdio>
#include <unistd.h>

namespace vireo::cli {

bool StandardErrorIsTerminal()
{
    return ::isatty(fileno(stderr));
}

} // namespace vireo::cli
