// SPDX-License-Identifier: GPL-3.0-or-later
#include "about_box.h"

#include "app/user_dialogs.h"
#include "ui/dialog_placement.h"
#include "ui/program_icon.h"
#include "ui/twip_scale.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace vireo {

QString AboutText()
{
    return QString::fromLatin1(AppTitle) + QStringLiteral(" Rev.") + QString::fromLatin1(ProgramRevision) +
           QLatin1Char('\n') + QString::fromLatin1(CopyrightLine);
}

AboutBox::AboutBox(const QRect &owner, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_owner(owner)
{
    const TwipScale scale = TwipScale::For(parent);
    setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(AppTitle));
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

void AboutBox::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        PlaceOverOwner(this, m_owner);
    QDialog::showEvent(event);
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
