// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog in which the user sets the clone access code: five digits, kept
// only when the entry is exactly five digits, otherwise shown again as stored.
#pragma once

#include "dialog_placement.h"

#include <cstdint>

class QLineEdit;

namespace vireo {

inline constexpr char AccessCodeCaption[] = "Five Digit Access Code";

/** The modal access code dialog over the main window's outer rectangle `owner`.
 *  OK with a valid entry stores it into `accessCode` and closes; Cancel,
 *  Escape and the close box leave `accessCode` as it was. */
class AccessCodeDialog : public PlacedDialog {
    Q_OBJECT
  public:
    AccessCodeDialog(std::int32_t &accessCode, const QRect &owner, QWidget *parent = nullptr);

    /// Shows the stored code in the field, fully selected, ready to be typed over.
    void ShowStoredCode();
    /// OK: stores a valid entry and closes; puts the stored code back otherwise.
    void Confirm();

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    std::int32_t &m_accessCode;
    QLineEdit *m_fiveDigit;
};

} // namespace vireo
