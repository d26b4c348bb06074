// SPDX-License-Identifier: GPL-3.0-or-later
// How the window's menus draw the actions they share with the toolbar: as
// plain menu items, with no picture column, and the COM ports with check marks.
#pragma once

#include <QProxyStyle>

namespace vireo {

/** The application's style, except that a menu item is laid out and drawn as
 *  in a menu without pictures and as a check item even where its action
 *  belongs to an exclusive group. */
class MenuStyle : public QProxyStyle {
    Q_OBJECT
  public:
    explicit MenuStyle(QObject *owner);

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
};

} // namespace vireo
