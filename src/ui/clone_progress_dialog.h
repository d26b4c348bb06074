// SPDX-License-Identifier: GPL-3.0-or-later
// The "Cloning" window shown while a clone runs: one progress bar, and under
// it, for a write with a backup or a check, the stage that runs. Closing it
// (close box or Escape) cancels the run.
#pragma once

#include "app/clone_command.h"

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QTimer;

namespace vireo {

/** The modal progress window of a clone run, centred over its owner window. */
class CloneProgressDialog : public QDialog, public CloneProgressView {
    Q_OBJECT
  public:
    /// `cancel` runs when the user closes the window during a run.
    CloneProgressDialog(QWidget *owner, std::function<void()> cancel);

    bool ShowModal() override;
    void SetValue(int value) override;
    void SetStage(CloneStage stage) override;
    void ShowFinished(const QString &text) override;
    void Close() override;
    int Value() const;

  protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    QWidget *m_owner;
    std::function<void()> m_cancel;
    QProgressBar *m_bar;
    QLabel *m_stage;       ///< hidden for a single read or write
    QTimer *m_finishTimer; ///< closes the window after ShowFinished
    bool m_ending = false; ///< Close() was called: the run has ended by itself
};

} // namespace vireo
