// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli: headless access to settings files and units, for scripts and
// workshops. Each command lives in its own file; this one only starts the
// program and returns the command's exit status.
#include "cli_common.h"
#include "interrupt_watcher.h"

#include <QCoreApplication>

namespace {

// First of all, before even the libraries' own start-up code runs: from here
// on Ctrl+C, SIGTERM and SIGHUP wait to be read by a clone run (which stops
// the unit and exits 130) and never cut the program off before or after its
// work with a status no script expects.
void HoldInterruptsAtStart()
{
    vireo::tool::HoldInterrupts();
}
[[gnu::used, gnu::section(".preinit_array")]] void (*const holdInterruptsAtStart)() = HoldInterruptsAtStart;

} // namespace

int main(int argc, char *argv[])
{
    vireo::tool::HoldInterrupts(); // a second time, should the first not have run
    QCoreApplication app(argc, argv);
    int status = vireo::cli::RefuseUndecodableArguments(argc, argv);
    if (status == vireo::cli::ExitOk)
        status = vireo::cli::RunProgram(QCoreApplication::arguments().mid(1));
    vireo::cli::Out().flush();
    vireo::cli::Err().flush();
    return status;
}
