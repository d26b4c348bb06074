// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated unit as its own process on a pseudo-terminal.
#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#ifdef Q_OS_WIN
#include "test_files.h"
#endif

namespace vireo::test {

inline const QString SimProgram = QStringLiteral(VIREO_BIN_DIR "/vireo-unit-sim");

#ifndef Q_OS_WIN

/** The simulated unit on its own pseudo-terminal, for the life of one test. */
class Sim {
  public:
    static bool Available() { return true; }
    explicit Sim(const QStringList &args)
    {
        // The time limit ends a unit whose test crashed, instead of leaving it on its line.
        m_process.start(QStringLiteral("timeout"),
                        QStringList{"300", SimProgram} +
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

#else

/** Under Wine: the simulated unit is the Linux program, on a pseudo-terminal that COM1 reaches
 *  through the link VIREO_COM1_LINK names (wine-run.sh sets it). Wine starts Linux programs but
 *  hands them no pipes: the unit's device line, log and process id go to files. */
class Sim {
  public:
    static bool Available() { return !Native().isEmpty() && !Link().isEmpty(); }
    explicit Sim(const QStringList &args)
    {
        QString words = args.contains("--baud") ? QString() : "--baud " + Baud;
        for (const QString &arg : args) // files of the test by their Linux names, all quoted
            words += " '" + (QFileInfo(arg).isAbsolute() ? UnixPath(arg) : arg) + "'";
        // Double quotes would not reach the shell: Wine splits the command line by Windows'
        // rules. The time limit ends a unit whose test crashed.
        QProcess::startDetached(
            QStringLiteral("Z:/bin/sh"),
            {QStringLiteral("-c"), QStringLiteral("cd '%1' && echo $$ >pid && exec timeout 300 '%2' "
                                                  "--link '%3' %4 >out 2>log")
                                       .arg(UnixPath(m_folder.path()), Native(), Link(), words)});
        for (QDeadlineTimer wait(10000);
             File("out").isEmpty() && !wait.hasExpired();) // once the link is made
            QThread::msleep(20);
    }
    ~Sim()
    {
        const QString pid = QString::fromLatin1(File("pid")).trimmed();
        QProcess::startDetached(QStringLiteral("Z:/bin/sh"), {QStringLiteral("-c"), "kill " + pid});
        // Ended before the next unit takes the link over.
        for (QDeadlineTimer wait(5000); QFileInfo::exists("Z:/proc/" + pid) && !wait.hasExpired();)
            QThread::msleep(20);
    }

    /// COM1 once the unit has started, empty if it never did.
    QString Device() const { return File("out").isEmpty() ? QString() : QStringLiteral("COM1"); }
    QString Log() { return QString::fromLocal8Bit(File("log")); }

    static inline const QString Baud = QStringLiteral("230400");

  private:
    static QString Native() { return qEnvironmentVariable("VIREO_UNIT_SIM"); }
    static QString Link() { return qEnvironmentVariable("VIREO_COM1_LINK"); }
    QByteArray File(const char *name) const { return ReadFile(m_folder.filePath(QLatin1String(name))); }
    // Wine's own call that names a Windows path's Linux file.
    static QString UnixPath(const QString &path)
    {
        using Convert = char *(__cdecl *)(const wchar_t *);
        const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void *>(
            GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
        char *name = convert(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()));
        const QString unixName = QString::fromLocal8Bit(name);
        HeapFree(GetProcessHeap(), 0, name);
        return unixName;
    }

    QTemporaryDir m_folder;
};

#endif

} // namespace vireo::test

/// Skips the running test where no simulated unit can be started.
#define VIREO_NEEDS_SIM()                                                                                    \
    if (!vireo::test::Sim::Available())                                                                      \
    QSKIP("no simulated unit: on Windows only under Wine, with VIREO_UNIT_SIM and VIREO_COM1_LINK set")
