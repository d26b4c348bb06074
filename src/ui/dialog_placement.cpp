// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_placement.h"

#include "app/window_geometry.h"
#include "ui/twip_scale.h"

#include <QShowEvent>
#include <QTimer>

namespace vireo {

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
    if (window->frameGeometry().size() == window->size())
        QTimer::singleShot(0, window, [window, owner] {
            if (window->frameGeometry().size() != window->size())
                window->move(CentreOver(window->frameGeometry().size(), owner,
                                        AvailableAreaAt(owner.center(), window)));
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
