// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program's small modal windows open: centred over the main window
// and kept on the screen, measured with their frames.
#pragma once

#include <QDialog>
#include <QRect>

#include <functional>

class QShowEvent;

namespace vireo {

/// Runs `action` once, as soon as the window system has framed `window`
/// (a window manager adds the frame some time after the window shows). A
/// window that is never framed (no window manager, offscreen) is given up on
/// after a few seconds.
void WhenFramed(QWidget *window, std::function<void()> action);

/// Moves `window` so that its outer rectangle is centred over `owner` (the
/// main window's outer rectangle in pixels) and stays on the available area
/// of the screen the owner is on. Call it when the window is about to show,
/// once its size is final.
void PlaceOverOwner(QWidget *window, const QRect &owner);

/** A fixed-size dialog with a title and a close box only (no help or size
 *  boxes), centred over the main window's outer rectangle `owner` each time
 *  it opens. */
class PlacedDialog : public QDialog {
    Q_OBJECT
  public:
    PlacedDialog(const QRect &owner, QWidget *parent);

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    QRect m_owner;
};

} // namespace vireo
