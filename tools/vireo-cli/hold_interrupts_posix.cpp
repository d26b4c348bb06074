// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli on POSIX systems holds the interrupt signals before anything of
// the program runs, even the libraries' own start-up code: linked into the
// program only, never into the libraries or tests that share its commands.
#include "base/interrupt_watcher.h"

namespace {

// From here on Ctrl+C, SIGTERM and SIGHUP wait to be read by a clone run
// (which stops the unit and exits 130) and never cut the program off before
// or after its work with a status no script expects.
void HoldInterruptsAtStart()
{
    vireo::HoldInterrupts();
}
[[gnu::used, gnu::section(".preinit_array")]] void (*const holdInterruptsAtStart)() = HoldInterruptsAtStart;

} // namespace
