// SPDX-License-Identifier: GPL-3.0-or-later
// The clone progress bar of read and write on standard error, the console's
// counterpart of the window's progress bar, fed by the same progress signal.
#pragma once

#include <QString>

namespace vireo::cli {

/// Whether standard error is a terminal (on Windows a console) that shows the bar.
bool StandardErrorIsTerminal();

/** The clone progress bar on standard error, drawn only when enabled (a terminal). */
class ConsoleProgress {
  public:
    explicit ConsoleProgress(bool enabled) : m_enabled(enabled) {}
    void Start(const QString &label);
    void Set(int value);
    /// Ends the bar's line, so that messages start on a line of their own.
    void Finish();

  private:
    bool m_enabled;
    QString m_label;
    int m_value = -1;
    bool m_drawn = false;
};

} // namespace vireo::cli
