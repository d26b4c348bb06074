// SPDX-License-Identifier: GPL-3.0-or-later
// Running vireo-cli in-process with its output captured, for the tool tests.
#pragma once

#include "cli_common.h"
#include "sim_process.h"
#include "test_files.h"

#include <QStringList>

namespace vireo::test {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

/// vireo-cli with these arguments, run in this process.
inline Run RunCli(const QStringList &args)
{
    cli::OutputCapture capture;
    Run run;
    run.status = cli::RunProgram(args);
    run.out = capture.Out();
    run.err = capture.Err();
    return run;
}

} // namespace vireo::test
