// SPDX-License-Identifier: GPL-3.0-or-later
// The single-instance lock on Windows: a named mutex in the session's own
// namespace, named after the user. The system closes it with the process that
// holds it, so a crash never leaves it held.
#include "single_instance.h"

#include <windows.h>

#include <lmcons.h>

namespace vireo {

Result<QString> InstanceLockPath()
{
    wchar_t user[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    if (!GetUserNameW(user, &size))
        return Failure{
            QStringLiteral("your user name cannot be read (%1).").arg(qt_error_string(int(GetLastError())))};
    return QString(QStringLiteral("Vireo-") + QString::fromWCharArray(user));
}

SingleInstance::SingleInstance(Result<QString> lockPath) : m_path(std::move(lockPath)) {}

SingleInstance::~SingleInstance()
{
    if (m_handle != -1)
        CloseHandle(HANDLE(m_handle));
}

Result<InstanceState> SingleInstance::Acquire()
{
    if (m_handle != -1)
        return InstanceState::First;
    if (!m_path)
        return Failure{m_path.error()};
    // "Local\": one lock per logon session; a backslash is allowed only there.
    QString name = *m_path;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name.prepend(QStringLiteral("Local\\"));
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t *>(name.utf16()));
    const DWORD error = GetLastError();
    if (!mutex)
        return Failure{
            QStringLiteral("the lock %1 cannot be made (%2). Log off and on, then start Vireo again.")
                .arg(name, qt_error_string(int(error)))};
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return InstanceState::AlreadyRunning;
    }
    m_handle = std::intptr_t(mutex);
    return InstanceState::First;
}

} // namespace vireo
