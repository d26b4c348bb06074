// SPDX-License-Identifier: GPL-3.0-or-later
// The About box: the program's name, revision and copyright line over its
// icon; it closes with OK, Enter or the close box, never with Escape.
#pragma once

#include "dialog_placement.h"

class QKeyEvent;

namespace vireo {

inline constexpr char ProgramRevision[] = "2.0";
inline constexpr char CopyrightLine[] = "Copyright (C) 2026 The Vireo developers";

/// The label's two lines: the name and revision, then the copyright line.
QString AboutText();

/** The modal About box, centred over the main window's outer rectangle `owner`. */
class AboutBox : public PlacedDialog {
    Q_OBJECT
  public:
    explicit AboutBox(const QRect &owner, QWidget *parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace vireo
