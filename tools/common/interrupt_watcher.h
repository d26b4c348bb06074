// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl+C, SIGTERM and SIGHUP taken as readable data through a signalfd, so
// no handler and no global state: vireo-cli stops its clone run cleanly, the
// simulated unit leaves its poll loop.
#pragma once

#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>

#include <csignal>

class QObject;
class QSocketNotifier;

namespace vireo::tool {

/// The signals that end a run: Ctrl+C, a termination request and a lost
/// terminal (a dropped remote session).
inline constexpr std::initializer_list<int> InterruptSignals{SIGINT, SIGTERM, SIGHUP};

/// Blocks the interrupt signals for the rest of the process, from the first
/// line of main: one that comes in before a watcher exists, or after the work
/// is done, then waits to be read instead of killing the program with a
/// status that no caller expects.
void HoldInterrupts();

/**
 * Blocks the given signals for its lifetime and makes them readable on Fd().
 * An interrupt is remembered until Clear(): one that comes in between two
 * clone runs is still there when the next would start. Signals that came in
 * are left pending when it ends: with HoldInterrupts they never end the
 * program, otherwise they then end it as usual.
 */
class InterruptWatcher {
  public:
    explicit InterruptWatcher(std::initializer_list<int> signalNumbers = InterruptSignals);
    ~InterruptWatcher();
    InterruptWatcher(const InterruptWatcher &) = delete;
    InterruptWatcher &operator=(const InterruptWatcher &) = delete;

    /// False (with the reason in ErrorText) when the signals cannot be watched.
    bool IsValid() const { return m_fd >= 0; }
    QString ErrorText() const { return m_error; }
    /// The descriptor to poll for POLLIN.
    int Fd() const { return m_fd; }

    /// Reads the signals that have come in; true when one has, now or before.
    bool Take();
    bool Interrupted() const { return m_interrupted; }
    void Clear() { m_interrupted = false; }

    /// Calls onInterrupt from context's event loop each time a signal comes in.
    void Notify(QObject *context, std::function<void()> onInterrupt);

  private:
    sigset_t m_set{};
    sigset_t m_old{};
    int m_fd = -1;
    QString m_error;
    bool m_interrupted = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace vireo::tool
