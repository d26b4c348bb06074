// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli: headless access to settings files and units, for scripts and
// workshops. Each command lives in its own file; this one only starts the
// program and returns the command's exit status.
#include "base/interrupt_watcher.h"
#include "cli_common.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    // First of all: an interrupt from here on waits for a clone run to take
    // it (POSIX systems hold them earlier still, from before main).
    vireo::HoldInterrupts();
    QCoreApplication app(argc, argv);
    int status = vireo::cli::RefuseUndecodableArguments(argc, argv);
    if (status == vireo::cli::ExitOk)
        status = vireo::cli::RunProgram(QCoreApplication::arguments().mid(1));
    vireo::cli::Out().flush();
    vireo::cli::Err().flush();
    return status;
}
