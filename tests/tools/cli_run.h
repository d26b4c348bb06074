// SPDX-License-Identifier: GPL-3.0-or-later
// Running vireo-cli in-process with its output captured, and the simulated
// unit on its own pseudo-terminal, for the tool tests.
#pragma once

#include "cli_common.h"
#include "test_files.h"

#include <QProcess>
#include <QStringList>

namespace vireo::test {

inline const QString SimProgram = QStringLiteral(VIREO_BIN_DIR "/vireo-unit-sim");
inline const QString ShippedFile = QStringLiteral(VIREO_BIN_DIR "/VIREO.sts");

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

/** The simulated unit on its own pseudo-terminal, for the life of one test. */
class Sim {
  public:
    explicit Sim(const QStringList &args)
    {
        m_process.start(SimProgram,
                        (args.contains("--baud") ? QStringList{} : QStringList{"--baud", Baud}) + args);
        // The first line of its output is the device to open.
        while (m_process.waitForStarted() && !m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~Sim()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }

    QString Device() const { return m_device; }
    /// What the unit has logged so far: the end of each clone run.
    QString Log() { return m_log += QString::fromLocal8Bit(m_process.readAllStandardError()); }
    /// The port arguments of a vireo-cli run against this unit.
    QStringList Port() const { return {QStringLiteral("--port"), m_device, QStringLiteral("--speed"), Baud}; }

    // A fast line keeps the suite short; pacing at the real speed is the benchmarks' business.
    static inline const QString Baud = QStringLiteral("230400");

  private:
    QProcess m_process;
    QString m_device;
    QString m_log;
};

} // namespace vireo::test
