// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the console progress bar: one line, redrawn in place.
#include "console_progress.h"

#include "cli_common.h"
#include "clone/clone_errors.h"

namespace vireo::cli {

void ConsoleProgress::Start(const QString &label)
{
    m_label = label;
    m_value = -1;
    m_drawn = false;
    Set(0);
}

void ConsoleProgress::Set(int value)
{
    if (!m_enabled || value == m_value)
        return;
    m_value = value;
    constexpr int Width = 40;
    const int filled = value * Width / ProgressMaximum;
    Err() << '\r' << m_label.leftJustified(8) << " [" << QString(filled, QLatin1Char('#'))
          << QString(Width - filled, QLatin1Char(' ')) << "] " << QString::number(value).rightJustified(3)
          << '%';
    Err().flush();
    m_drawn = true;
}

void ConsoleProgress::Finish()
{
    if (m_enabled && m_drawn) {
        Err() << '\n';
        Err().flush();
    }
    m_drawn = false;
}

} // namespace vireo::cli
