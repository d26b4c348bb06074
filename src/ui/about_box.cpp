// SPDX-License-Identifier: GPL-3.0-or-later
#include "about_box.h"

#include "app/user_dialogs.h"
#include "base/latin1_text.h"
#include "ui/program_icon.h"
#include "ui/twip_scale.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace vireo {

QString AboutText()
{
    return Latin1Text(AppTitle) + QStringLiteral(" Rev.") + Latin1Text(ProgramRevision) + QLatin1Char('\n') +
           Latin1Text(CopyrightLine);
}

AboutBox::AboutBox(const QRect &owner, QWidget *parent) : PlacedDialog(owner, parent)
{
    const TwipScale scale = TwipScale::For(parent);
    setWindowTitle(QStringLiteral("About ") + Latin1Text(AppTitle));
    setFont(ProgramFont(9.75));
    setFixedSize(scale.Size(5580, 1365));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    scale.Place(icon, 240, 480, 480, 480);
    icon->setPixmap(ProgramIcon().pixmap(icon->size(), devicePixelRatioF()));

    // Created before the button, so it comes first in the focus order; a
    // label takes no focus, so the box opens with the focus on OK.
    auto *label = new QLabel(AboutText(), this);
    label->setObjectName(QStringLiteral("copyright"));
    label->move(scale.Px(1200), scale.Px(360));
    label->adjustSize();

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    scale.Place(ok, 4200, 240, 1212, 372);
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutBox::keyPressEvent(QKeyEvent *event)
{
    // No button of the box cancels, so Escape does nothing; the close box
    // still closes it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vireo
