// SPDX-License-Identifier: GPL-3.0-or-later
// A menu widens by a picture column as soon as one of its actions has a
// picture, shown in the menu or not, and draws the actions of an exclusive
// group with round marks; the toolbar's pictures must not change the menus.
#include "menu_style.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace vireo {

namespace {

QStyleOptionMenuItem PlainItem(const QStyleOptionMenuItem &item)
{
    QStyleOptionMenuItem plain = item;
    plain.maxIconWidth = 0;
    if (plain.checkType == QStyleOptionMenuItem::Exclusive)
        plain.checkType = QStyleOptionMenuItem::NonExclusive;
    return plain;
}

} // namespace

MenuStyle::MenuStyle(QObject *owner) : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
{
    setParent(owner);
}

QSize MenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                  const QWidget *widget) const
{
    if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        item && type == CT_MenuItem) {
        const QStyleOptionMenuItem plain = PlainItem(*item);
        return QProxyStyle::sizeFromContents(type, &plain, size, widget);
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void MenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                            const QWidget *widget) const
{
    if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        item && element == CE_MenuItem) {
        const QStyleOptionMenuItem plain = PlainItem(*item);
        QProxyStyle::drawControl(element, &plain, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

} // namespace vireo
