// SPDX-License-Identifier: GPL-3.0-or-later
// The signalfd behind InterruptWatcher.
#include "interrupt_watcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/signalfd.h>
#include <unistd.h>

namespace vireo::tool {

void HoldInterrupts()
{
    // Fails only for an invalid set or address, neither possible here.
    sigset_t set;
    sigemptyset(&set);
    for (int number : InterruptSignals)
        sigaddset(&set, number);
    sigprocmask(SIG_BLOCK, &set, nullptr);
}

InterruptWatcher::InterruptWatcher(std::initializer_list<int> signalNumbers)
{
    sigemptyset(&m_set);
    for (int number : signalNumbers)
        sigaddset(&m_set, number);
    if (sigprocmask(SIG_BLOCK, &m_set, &m_old) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_fd = signalfd(-1, &m_set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (m_fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        sigprocmask(SIG_SETMASK, &m_old, nullptr);
    }
}

InterruptWatcher::~InterruptWatcher()
{
    m_notifier.reset();
    if (m_fd < 0)
        return;
    ::close(m_fd);
    sigprocmask(SIG_SETMASK, &m_old, nullptr);
}

bool InterruptWatcher::Take()
{
    signalfd_siginfo info{};
    while (m_fd >= 0 && ::read(m_fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        m_interrupted = true;
    return m_interrupted;
}

void InterruptWatcher::Notify(QObject *context, std::function<void()> onInterrupt)
{
    if (m_fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, context,
                     [this, onInterrupt = std::move(onInterrupt)] {
                         if (Take())
                             onInterrupt();
                     });
}

} // namespace vireo::tool
