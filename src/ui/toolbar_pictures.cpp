// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolbar_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace vireo {

namespace {

using Drawing = std::function<void(QPainter &)>;

const QColor Ink(40, 40, 40);
const QColor Paper(255, 255, 255);
const QColor Folder(230, 190, 80);
const QColor Disk(60, 90, 160);
const QColor Plug(70, 120, 70);
const QColor Key(200, 150, 30);
const QColor Arrow(40, 110, 200);

void Page(QPainter &p)
{
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(10, 1.5);
    sheet.lineTo(12.5, 4);
    sheet.lineTo(12.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawPath(sheet);
}

void OpenFolder(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Folder.darker(115));
    p.drawRect(QRectF(1.5, 3.5, 11, 9));
    QPainterPath flap;
    flap.moveTo(3.5, 6.5);
    flap.lineTo(14.5, 6.5);
    flap.lineTo(12.5, 12.5);
    flap.lineTo(1.5, 12.5);
    flap.closeSubpath();
    p.setBrush(Folder);
    p.drawPath(flap);
}

void SaveDisk(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Disk);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Paper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void Port(QPainter &p, int number)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Plug);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 2, 2);
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Paper);
    p.drawText(QRectF(1.5, 2.5, 13, 11), Qt::AlignCenter, QString::number(number));
}

void AccessKey(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Key);
    p.drawEllipse(QRectF(1.5, 4.5, 7, 7));
    p.drawRect(QRectF(8.5, 7, 6, 2));
    p.drawRect(QRectF(11.5, 9, 1.5, 2.5));
    p.setBrush(Paper);
    p.drawEllipse(QRectF(3.5, 6.5, 3, 3));
}

// A radio with an arrow: into the editor (read) or out to the radio (write).
void CloneArrow(QPainter &p, bool read)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(read ? 1.5 : 9.5, 3.5, 5, 10));
    p.drawLine(QPointF(read ? 3 : 11, 3.5), QPointF(read ? 3 : 11, 0.5));
    QPainterPath arrow;
    const double from = read ? 7.5 : 8.5, to = read ? 14.5 : 1.5, head = read ? 11.5 : 4.5;
    arrow.moveTo(from, 7.5);
    arrow.lineTo(head, 7.5);
    arrow.lineTo(head, 4.5);
    arrow.lineTo(to, 9);
    arrow.lineTo(head, 13.5);
    arrow.lineTo(head, 10.5);
    arrow.lineTo(from, 10.5);
    arrow.closeSubpath();
    p.setBrush(Arrow);
    p.drawPath(arrow);
}

Drawing DrawingFor(ToolbarPictureId picture)
{
    switch (picture) {
    case ToolbarPictureId::New:
        return Page;
    case ToolbarPictureId::Open:
        return OpenFolder;
    case ToolbarPictureId::Save:
        return SaveDisk;
    case ToolbarPictureId::Com1:
    case ToolbarPictureId::Com2:
    case ToolbarPictureId::Com3:
    case ToolbarPictureId::Com4: {
        const int n = 1 + static_cast<int>(picture) - static_cast<int>(ToolbarPictureId::Com1);
        return [n](QPainter &p) { Port(p, n); };
    }
    case ToolbarPictureId::AccessCode:
        return AccessKey;
    case ToolbarPictureId::CloneRead:
        return [](QPainter &p) { CloneArrow(p, true); };
    case ToolbarPictureId::CloneWrite:
        break;
    }
    return [](QPainter &p) { CloneArrow(p, false); };
}

} // namespace

QIcon ToolbarPicture(ToolbarPictureId picture)
{
    const Drawing draw = DrawingFor(picture);
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0); // drawn on a 16 x 16 grid
        draw(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace vireo
