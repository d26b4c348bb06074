// SPDX-License-Identifier: GPL-3.0-or-later
// InterruptWatcher on POSIX systems: SIGINT, SIGTERM and SIGHUP blocked and
// read from a signalfd, so no handler and no global state.
#include "interrupt_watcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/signalfd.h>
#include <unistd.h>

namespace vireo {

namespace {

/// Ctrl+C, a termination request and a lost terminal (a dropped remote session).
sigset_t InterruptSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set, number);
    return set;
}

} // namespace

struct InterruptWatcher::System {
    sigset_t old{};
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
};

void HoldInterrupts()
{
    // Fails only for an invalid set or address, neither possible here.
    const sigset_t set = InterruptSignals();
    sigprocmask(SIG_BLOCK, &set, nullptr);
}

InterruptWatcher::InterruptWatcher() : m_system(std::make_unique<System>())
{
    const sigset_t set = InterruptSignals();
    if (sigprocmask(SIG_BLOCK, &set, &m_system->old) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_system->fd = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (m_system->fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        sigprocmask(SIG_SETMASK, &m_system->old, nullptr);
    }
}

InterruptWatcher::~InterruptWatcher()
{
    m_system->notifier.reset();
    if (m_system->fd < 0)
        return;
    ::close(m_system->fd);
    sigprocmask(SIG_SETMASK, &m_system->old, nullptr);
}

bool InterruptWatcher::IsValid() const
{
    return m_system->fd >= 0;
}

int InterruptWatcher::Fd() const
{
    return m_system->fd;
}

bool InterruptWatcher::Take()
{
    signalfd_siginfo info{};
    while (m_system->fd >= 0 && ::read(m_system->fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        m_interrupted = true;
    return m_interrupted;
}

void InterruptWatcher::Notify(QObject *context, std::function<void()> onInterrupt)
{
    if (m_system->fd < 0)
        return;
    m_system->notifier = std::make_unique<QSocketNotifier>(m_system->fd, QSocketNotifier::Read);
    QObject::connect(m_system->notifier.get(), &QSocketNotifier::activated, context,
                     [this, onInterrupt = std::move(onInterrupt)] {
                         if (Take())
                             onInterrupt();
                     });
}

} // namespace vireo
