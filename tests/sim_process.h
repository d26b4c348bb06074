// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated unit as its own process on a pseudo-terminal.
#pragma once

#include <QProcess>
#include <QStringList>

namespace vireo::test {

inline const QString SimProgram = QStringLiteral(VIREO_BIN_DIR "/vireo-unit-sim");

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
