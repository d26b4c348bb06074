// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_placement.h"

#include "app/window_geometry.h"
#include "ui/twip_scale.h"

#include <QShowEvent>
#include <QTimer>

namespace vireo {

namespace {

// A frame surrounds the inside. Qt can report a stale frame, smaller than the
// window, for a window shown again under a window manager: that is no frame.
bool IsFramed(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    return frame.contains(window->geometry()) && frame.size() != window->size();
}

// Watches a window that has just been shown until its frame is known. The
// window manager moves the window when it frames it, and it paints it
// afterwards; a short poll covers a frame that comes with neither.
class FrameWatch : public QObject {
  public:
    FrameWatch(QWidget *window, std::function<void()> action)
        : QObject(window), m_window(window), m_action(std::move(action))
    {
        window->installEventFilter(this);
        connect(&m_poll, &QTimer::timeout, this, &FrameWatch::Check);
        m_poll.start(PollMs);
        QTimer::singleShot(GiveUpMs, this, [this] { Finish(); });
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Paint)
            QTimer::singleShot(0, this, &FrameWatch::Check); // once Qt has taken the event in
        return false;
    }

  private:
    static constexpr int PollMs = 20;
    static constexpr int GiveUpMs = 3000; // counted from before the window shows

    void Check()
    {
        if (!m_action || !IsFramed(m_window))
            return;
        const std::function<void()> action = std::move(m_action);
        m_action = nullptr;
        Finish();
        action();
    }

    void Finish()
    {
        m_window->removeEventFilter(this);
        m_poll.stop();
        deleteLater();
    }

    QWidget *m_window;
    std::function<void()> m_action;
    QTimer m_poll;
};

} // namespace

void WhenFramed(QWidget *window, std::function<void()> action)
{
    if (IsFramed(window))
        QTimer::singleShot(0, window, std::move(action));
    else
        new FrameWatch(window, std::move(action));
}

void PlaceOverOwner(QWidget *window, const QRect &owner)
{
    // The screen under the owner's centre, so a main window on a second
    // monitor keeps its dialogs there; an owner dragged mostly off every
    // screen falls back to the window's own screen.
    const QRect area = AvailableAreaAt(owner.center(), window);
    // The frame is included where the window system has reported it; move()
    // places a window's outer top-left corner.
    window->move(CentreOver(window->frameGeometry().size(), owner, area));
    // A window shown for the first time learns its frame only from the window
    // system, after showing: placed again then, so that it never sticks out
    // of the screen by its frame.
    if (!IsFramed(window))
        WhenFramed(window, [window, owner] {
            window->move(
                CentreOver(window->frameGeometry().size(), owner, AvailableAreaAt(owner.center(), window)));
        });
}

PlacedDialog::PlacedDialog(const QRect &owner, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_owner(owner)
{
}

void PlacedDialog::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        PlaceOverOwner(this, m_owner);
    QDialog::showEvent(event);
}

} // namespace vireo
