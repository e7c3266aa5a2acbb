// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace pictures {
namespace {

QPixmap blank() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    return pm;
}

void drawSend(QPainter& p, const QColor& globe, const QColor& arrow) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(globe.darker(150), 1.5));
    p.setBrush(globe);
    p.drawEllipse(QRectF(2, 2, 22, 22));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(8, 2, 10, 22));
    p.drawLine(QPointF(2, 13), QPointF(24, 13));
    QPainterPath path;
    path.moveTo(14, 20);
    path.lineTo(24, 20);
    path.lineTo(24, 15);
    path.lineTo(31, 24);
    path.lineTo(24, 31);
    path.lineTo(24, 27);
    path.lineTo(14, 27);
    path.closeSubpath();
    p.setPen(QPen(arrow.darker(160), 1));
    p.setBrush(arrow);
    p.drawPath(path);
}

}  // namespace

QPixmap sendEnabled() {
    QPixmap pm = blank();
    QPainter p(&pm);
    drawSend(p, QColor(70, 140, 230), QColor(255, 170, 0));
    return pm;
}

QPixmap sendDisabled() {
    QPixmap pm = blank();
    QPainter p(&pm);
    drawSend(p, QColor(190, 190, 190), QColor(150, 150, 150));
    p.setPen(QPen(QColor(200, 30, 30), 3));
    p.drawLine(QPointF(4, 4), QPointF(28, 28));
    return pm;
}

QPixmap preview() {
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 4.5, 27, 23));
    p.setBrush(QColor(81, 87, 221));
    p.drawRect(QRectF(2.5, 4.5, 27, 4));
    p.setBrush(QColor(220, 230, 250));
    p.drawRect(QRectF(2.5, 8.5, 8, 19));
    p.setPen(QPen(QColor(232, 27, 27), 1.5));
    for (int y = 12; y <= 24; y += 4)
        p.drawLine(QPointF(13, y), QPointF(26, y));
    return pm;
}

QPixmap windowIcon() {
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(255, 252, 235));
    p.drawRect(QRectF(4.5, 2.5, 22, 27));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int y = 9; y <= 25; y += 4)
        p.drawLine(QPointF(8, y), QPointF(18, y));
    QPainterPath ribbon;
    ribbon.moveTo(20, 0);
    ribbon.lineTo(28, 0);
    ribbon.lineTo(28, 16);
    ribbon.lineTo(24, 12);
    ribbon.lineTo(20, 16);
    ribbon.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(232, 27, 27));
    p.drawPath(ribbon);
    return pm;
}

}  // namespace pictures
