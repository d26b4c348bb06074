// SPDX-License-Identifier: GPL-3.0-or-later
// The monotonic clock on which clone time-outs are measured. Never wall-clock
// time: a run may span midnight or a clock change. Tests use a manual clock.
#pragma once

#include <QElapsedTimer>

namespace vireo {

/** Seconds on a monotonic clock, fractional. */
class CloneClock {
  public:
    virtual ~CloneClock() = default;
    virtual double Now() const = 0;
};

/** The system's monotonic clock. */
class SteadyCloneClock : public CloneClock {
  public:
    SteadyCloneClock() { m_timer.start(); }
    double Now() const override { return static_cast<double>(m_timer.nsecsElapsed()) / 1e9; }

  private:
    QElapsedTimer m_timer;
};

} // namespace vireo
