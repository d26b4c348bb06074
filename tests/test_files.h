// SPDX-License-Identifier: GPL-3.0-or-later
// File helpers for the tests: the shipped file, whole-file I/O, a non-regular file, a size limit.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#define NOUSER // no MessageBox macro over the dialogs' MessageBox
#include <windows.h>
/// Skips the running test on Windows, which lacks what it needs.
#define VIREO_SKIP_ON_WINDOWS(why) QSKIP("not on Windows: " why)
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#define VIREO_SKIP_ON_WINDOWS(why) (void)0
#endif

namespace vireo::test {

inline const QString ShippedFile = QStringLiteral(VIREO_BIN_DIR "/VIREO.sts");

inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

/// A path in folder to something that is no regular file: a FIFO; on Windows a device name.
inline QString NotRegularFile(const QString &folder)
{
#ifdef Q_OS_WIN
    return folder + QStringLiteral("/nul.st2");
#else
    const QString fifo = folder + QStringLiteral("/fifo.st2");
    return QFile::exists(fifo) || ::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 ? fifo : QString();
#endif
}

#ifdef Q_OS_WIN
class FileSizeLimit { // Windows has none: tests that need one skip there
  public:
    explicit FileSizeLimit(qint64) {}
    bool Active() const { return false; }
};
#else
/** While it lives, no file of this process may grow past `bytes`. */
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool Active() const { return m_active; }

  private:
    void (*m_handler)(int);
    rlimit m_saved{};
    bool m_active = false;
};
#endif

} // namespace vireo::test
