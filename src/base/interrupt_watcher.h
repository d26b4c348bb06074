// SPDX-License-Identifier: GPL-3.0-or-later
// The interrupts that end a run (Ctrl+C, a termination request, a lost
// terminal or a closed console), taken as events rather than where they
// strike: vireo-cli stops its clone run cleanly, the simulated unit leaves its
// poll loop, the window ends a clone and keeps its options. One implementation per system (a signalfd; a
// console handler).
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QObject;

namespace vireo {

/// Holds the interrupts for the rest of the process, from the start of main:
/// one that comes in before a watcher exists, or after the work is done, then
/// waits to be taken instead of killing the program with a status that no
/// caller expects. POSIX: SIGINT, SIGTERM and SIGHUP are blocked. Windows:
/// Ctrl+C, Ctrl+Break and closing the console go to the watchers.
void HoldInterrupts();

/**
 * Makes the interrupts readable for its lifetime. An interrupt is remembered
 * until Clear(): one that comes in between two clone runs is still there when
 * the next would start. Interrupts no watcher took stay pending when it ends:
 * with HoldInterrupts they never end the program, otherwise they then end it
 * as usual.
 */
class InterruptWatcher {
  public:
    InterruptWatcher();
    ~InterruptWatcher();
    InterruptWatcher(const InterruptWatcher &) = delete;
    InterruptWatcher &operator=(const InterruptWatcher &) = delete;

    /// False (with the reason in ErrorText) when the interrupts cannot be watched.
    bool IsValid() const;
    QString ErrorText() const { return m_error; }
    /// POSIX: the descriptor to poll for POLLIN; -1 where the system has none.
    int Fd() const;

    /// Takes the interrupts that have come in; true when one has, now or before.
    bool Take();
    bool Interrupted() const { return m_interrupted; }
    void Clear() { m_interrupted = false; }

    /// Calls onInterrupt from context's event loop each time an interrupt comes in.
    void Notify(QObject *context, std::function<void()> onInterrupt);

    struct System; // the system's side of a watcher

  private:
    std::unique_ptr<System> m_system;
    QString m_error;
    bool m_interrupted = false;
};

} // namespace vireo
