// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli: headless access to settings files and units, for scripts and
// workshops. Each command lives in its own file; this one only starts the
// program and returns the command's exit status.
#include "cli_common.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int status = vireo::cli::RunProgram(QCoreApplication::arguments().mid(1));
    vireo::cli::Out().flush();
    vireo::cli::Err().flush();
    return status;
}
