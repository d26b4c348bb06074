// SPDX-License-Identifier: GPL-3.0-or-later
// The window program as it starts for a user, ending at the first paint of
// the main window: prints that moment on the monotonic clock (nanoseconds),
// so the caller can measure from before it started the process.
#include "ui/main_window.h"
#include "ui/window_program.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaint : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Once the whole first paint pass is through, the window is on the screen.
            QTimer::singleShot(0, this, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("%lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
                std::fflush(stdout);
                std::_Exit(0); // nothing saved: the benchmark leaves the profile alone
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char *argv[])
{
    return vireo::RunWindowProgram(argc, argv, [](vireo::MainWindow &window) {
        QCoreApplication::instance()->installEventFilter(new FirstPaint(&window));
    });
}
