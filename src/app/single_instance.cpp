// SPDX-License-Identifier: GPL-3.0-or-later
#include "single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace vireo {

QString InstanceLockPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(folder.isEmpty() ? QDir::tempPath() : folder).filePath(QStringLiteral("vireo.lock"));
}

SingleInstance::SingleInstance(const QString &lockPath) : m_lock(lockPath)
{
    // A window runs for hours: only a dead owner makes the lock stale, never its age.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::IsFirst()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}

} // namespace vireo
