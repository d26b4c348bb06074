// SPDX-License-Identifier: GPL-3.0-or-later
// InterruptWatcher on Windows: a console control handler takes Ctrl+C,
// Ctrl+Break and closing the console. It runs on a thread of its own, so it
// only marks the interrupt and queues a call into each watcher's event loop.
#include "interrupt_watcher.h"

#include <QObject>
#include <QPointer>

#include <windows.h>

#include <mutex>
#include <thread>
#include <vector>

namespace vireo {

struct InterruptWatcher::System {
    InterruptWatcher *owner = nullptr;
    // Lives and dies on the watcher's thread, under the console's lock, so
    // the handler's thread only ever queues calls to a live object.
    std::unique_ptr<QObject> receiver = std::make_unique<QObject>();
    QPointer<QObject> context;
    std::function<void()> onInterrupt;
};

namespace {

// Windows closes a console's programs 5 s after asking; a run that is
// stopping by then has told the unit to leave cloning.
constexpr auto CloseWait = std::chrono::milliseconds(4500);

// The handler is process-wide and gets no context: what it hands on lives
// here, for the process's whole life, behind one lock.
struct ConsoleEvents {
    std::mutex lock;
    bool pending = false; // an interrupt no watcher has taken yet
    std::vector<InterruptWatcher::System *> watchers;
};

ConsoleEvents &Events()
{
    static ConsoleEvents events;
    return events;
}

// Marks an interrupt and queues its call into every watcher's event loop.
void Deliver()
{
    ConsoleEvents &events = Events();
    const std::lock_guard lock(events.lock);
    events.pending = true;
    for (InterruptWatcher::System *watcher : events.watchers) {
        QMetaObject::invokeMethod(
            watcher->receiver.get(),
            [watcher] {
                if (watcher->context && watcher->onInterrupt && watcher->owner->Take())
                    watcher->onInterrupt();
            },
            Qt::QueuedConnection);
    }
}

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    Deliver();
    // Closing the console ends the process as soon as this returns: wait
    // (bounded) for the run to end and the program to exit by itself.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        std::this_thread::sleep_for(CloseWait);
    return TRUE;
}

} // namespace

void HoldInterrupts()
{
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

InterruptWatcher::InterruptWatcher() : m_system(std::make_unique<System>())
{
    m_system->owner = this;
    if (!SetConsoleCtrlHandler(OnConsoleEvent, TRUE)) {
        m_error = qt_error_string(int(GetLastError()));
        return;
    }
    ConsoleEvents &events = Events();
    const std::lock_guard lock(events.lock);
    events.watchers.push_back(m_system.get());
}

InterruptWatcher::~InterruptWatcher()
{
    ConsoleEvents &events = Events();
    const std::lock_guard lock(events.lock);
    std::erase(events.watchers, m_system.get());
    m_system->receiver.reset();
}

bool InterruptWatcher::IsValid() const
{
    return m_error.isEmpty();
}

int InterruptWatcher::Fd() const
{
    return -1;
}

bool InterruptWatcher::Take()
{
    ConsoleEvents &events = Events();
    const std::lock_guard lock(events.lock);
    m_interrupted = m_interrupted || events.pending;
    events.pending = false;
    return m_interrupted;
}

void InterruptWatcher::Notify(QObject *context, std::function<void()> onInterrupt)
{
    m_system->context = context;
    m_system->onInterrupt = std::move(onInterrupt);
}

} // namespace vireo
