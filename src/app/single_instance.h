// SPDX-License-Identifier: GPL-3.0-or-later
// One window per user: a lock the system holds for the running window and
// drops when its process ends, however it ends. vireo-cli never takes it.
#pragma once

#include "base/result.h"

#include <QString>

#include <cstdint>

namespace vireo {

/// What a start finds at the lock.
enum class InstanceState {
    First,          ///< the lock is now ours: this start goes on
    AlreadyRunning, ///< a live instance holds it: this start ends silently
};

/**
 * The lock of the running window. POSIX: "vireo.lock" in a folder only the
 * user can use (the runtime folder when it is private, else "vireo" in the
 * user's cache folder, made private). Windows: a mutex of the logon session
 * named after the user. A Failure when no such lock can be had.
 */
Result<QString> InstanceLockPath();

/** The single-instance lock; released when the object goes. */
class SingleInstance {
  public:
    explicit SingleInstance(Result<QString> lockPath = InstanceLockPath());
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    /**
     * Takes the lock unless a live instance holds it. A lock that cannot be
     * judged (not a regular file of the user's, or the system refusing it)
     * is a Failure whose reason names the path and what to do about it.
     */
    Result<InstanceState> Acquire();

  private:
    Result<QString> m_path;
    std::intptr_t m_handle = -1; // the system's handle of the held lock; -1 while not held
};

} // namespace vireo
