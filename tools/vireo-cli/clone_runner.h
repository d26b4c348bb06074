// SPDX-License-Identifier: GPL-3.0-or-later
// The clone runs of read and write on one port: the window's CloneSession run
// to its end in a local event loop, with the trace, the progress bar, Ctrl+C
// and the messages the runs share; and the three steps of a write.
#pragma once

#include "base/interrupt_watcher.h"
#include "clone_options.h"
#include "console_progress.h"

#include "clone/clone_session.h"
#include "clone/clone_trace.h"
#include "clone/serial_port.h"

#include <QObject>

#include <memory>

namespace vireo::cli {

/** Runs clone runs on one port, with the trace, progress bar and messages they share. */
class CloneRunner {
  public:
    CloneRunner(const PortTarget &target, const CloneOptions &options);
    CloneRunner(const CloneRunner &) = delete;
    CloneRunner &operator=(const CloneRunner &) = delete;

    /// The runner for these options, its port resolved and its trace open; a
    /// Failure (a file error) when either cannot be.
    static Result<std::unique_ptr<CloneRunner>> Prepare(const CloneOptions &options);
    /// Prepare for a command: nullptr after saying on standard error why not.
    static std::unique_ptr<CloneRunner> PrepareForCommand(const CloneOptions &options);

    /// One clone run to its end. A read leaves the unit's words in
    /// model.LoadBuffer. An interrupt that came in since the last run (or
    /// during it, too late to stop it) ends the command here: the run is not
    /// started and the result is Cancelled. So is a port that is no device.
    CloneResult Run(CloneMode mode, UnitModel &model, const QString &label);

    /// Reports a run that did not complete; returns its exit status.
    int Failed(CloneResult result, const QString &what);

    /// The command's status once its runs are over: a trace that could not be
    /// written is reported, and turns success into a file error.
    int Finish(int status);

    /// Whether the last run got as far as moving blocks.
    bool MovedBlocks() const { return m_movedBlocks; }
    bool Quiet() const { return m_options.quiet; }
    const PortTarget &Target() const { return m_target; }

  private:
    QString MessageText(CloneResult result) const;
    void TraceNote(const QString &text);

    PortTarget m_target;
    CloneOptions m_options;
    std::unique_ptr<SerialPort> m_port = MakeSystemSerialPort();
    SteadyCloneClock m_clock;
    CloneTrace m_trace;
    ConsoleProgress m_progress;
    InterruptWatcher m_interrupt;
    QObject m_context; // lives as long as the interrupt's connection
    CloneSession *m_session = nullptr;
    bool m_started = false;
    bool m_movedBlocks = false;
    QString m_portError;
};

/// write, step 1: reads the unit into backupPath (its folder made once the
/// read has succeeded); ExitOk or the exit status (message printed).
int BackupUnit(CloneRunner &runner, const QString &backupPath);
/// write, step 2: sends image.UnitImage to the unit; ExitOk or the exit status.
int WriteUnit(CloneRunner &runner, UnitModel &image, const QString &input);
/// write, step 3: reads the unit back and compares every word with written;
/// ExitOk, ExitVerify (the differing words listed) or the run's exit status.
int VerifyUnit(CloneRunner &runner, const UnitWords &written);

} // namespace vireo::cli
