// SPDX-License-Identifier: GPL-3.0-or-later
// Running vireo-cli and the simulated unit from the tool tests.
#pragma once

#include "test_files.h"

#include <QProcess>
#include <QStringList>

namespace vireo::test {

inline const QString Cli = QStringLiteral(VIREO_BIN_DIR "/vireo-cli");
inline const QString SimProgram = QStringLiteral(VIREO_BIN_DIR "/vireo-unit-sim");
inline const QString ShippedFile = QStringLiteral(VIREO_BIN_DIR "/VIREO.sts");
// Guards against a hang only; how long runs take is the benchmarks' business.
inline constexpr int HangGuardMs = 20000;

struct Run {
    int status = -1; // -1: hung or crashed
    QString out;
    QString err;
};

inline Run RunCli(const QStringList &args)
{
    QProcess process;
    process.start(Cli, args);
    Run run;
    if (!process.waitForFinished(HangGuardMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

/** The simulated unit on its own pseudo-terminal, for the life of one test. */
class Sim {
  public:
    explicit Sim(const QStringList &args)
    {
        m_process.start(SimProgram, QStringList{QStringLiteral("--baud"), Baud} + args);
        if (!m_process.waitForStarted())
            return;
        // The first line of its output is the device to open.
        QByteArray line;
        while (!line.contains('\n') && m_process.waitForReadyRead(5000))
            line += m_process.readAllStandardOutput();
        m_device = QString::fromLocal8Bit(line.left(line.indexOf('\n'))).trimmed();
    }
    ~Sim()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }
    Sim(const Sim &) = delete;
    Sim &operator=(const Sim &) = delete;

    QString Device() const { return m_device; }
    /// What the unit has logged so far: the end of each clone run.
    QString Log()
    {
        m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
        return m_log;
    }
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
