// SPDX-License-Identifier: GPL-3.0-or-later
// One window per user: a lock file in the user's runtime folder, held for the
// life of the program. A lock left by a crashed instance is found stale by
// its process number and taken over. vireo-cli never takes it.
#pragma once

#include <QLockFile>
#include <QString>

namespace vireo {

/// The lock file of the running window: "vireo.lock" in the user's runtime folder.
QString InstanceLockPath();

/** The single-instance lock; released when the object goes. */
class SingleInstance {
  public:
    explicit SingleInstance(const QString &lockPath = InstanceLockPath());
    /// True when this is the only running instance (the lock is now ours).
    bool IsFirst();

  private:
    QLockFile m_lock;
};

} // namespace vireo
