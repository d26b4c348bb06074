// SPDX-License-Identifier: GPL-3.0-or-later
#include "access_code_dialog.h"

#include "app/access_code.h"
#include "base/latin1_text.h"
#include "ui/twip_scale.h"

#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace vireo {

AccessCodeDialog::AccessCodeDialog(std::int32_t &accessCode, const QRect &owner, QWidget *parent)
    : PlacedDialog(owner, parent), m_accessCode(accessCode)
{
    const TwipScale scale = TwipScale::For(parent);
    setWindowTitle(Latin1Text(AccessCodeCaption));
    setFont(ProgramFont(9));
    setFixedSize(scale.Size(2820, 1440));

    // Created in the focus order: the field, OK, Cancel. Nothing is filtered
    // while typing; the entry is checked when it is confirmed.
    m_fiveDigit = new QLineEdit(this);
    m_fiveDigit->setObjectName(QStringLiteral("FiveDigit"));
    scale.Place(m_fiveDigit, 240, 240, 852, 300);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    scale.Place(ok, 120, 840, 1212, 492);
    // The default button: Enter in the field, which a line edit passes on to
    // its dialog, presses it.
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AccessCodeDialog::Confirm);

    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    scale.Place(cancel, 1440, 840, 1212, 492);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void AccessCodeDialog::ShowStoredCode()
{
    m_fiveDigit->setText(AccessCodeText(m_accessCode));
    m_fiveDigit->selectAll();
    // A click on OK took the focus; give it back so the user can retype.
    m_fiveDigit->setFocus();
}

void AccessCodeDialog::Confirm()
{
    if (const auto code = ParseAccessCode(m_fiveDigit->text())) {
        m_accessCode = *code;
        accept();
    } else {
        ShowStoredCode();
    }
}

void AccessCodeDialog::showEvent(QShowEvent *event)
{
    // Every opening starts from the stored code, however the last one ended.
    if (!event->spontaneous())
        ShowStoredCode();
    PlacedDialog::showEvent(event);
}

} // namespace vireo
