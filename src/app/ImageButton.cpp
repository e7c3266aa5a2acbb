// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/ImageButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

ImageButton::ImageButton(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() &&
        rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

// A picture larger than its control (the design gives the preview button fewer pixels than
// its picture has, and the window may be fitted to a small screen) is scaled down to show
// whole; a label would show only its middle.
void ImageButton::paintEvent(QPaintEvent* event) {
    const QPixmap picture = pixmap();
    const QRect area = contentsRect();
    if (picture.isNull() || area.isEmpty() ||
        (picture.width() <= area.width() && picture.height() <= area.height())) {
        QLabel::paintEvent(event);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap scaled =
        picture.scaled(area.size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    if (!isEnabled()) {
        QStyleOption option;
        option.initFrom(this);
        scaled = style()->generatedIconPixmap(QIcon::Disabled, scaled, &option);
    }
    QPainter painter(this);
    style()->drawItemPixmap(&painter, area, Qt::AlignCenter, scaled);
}
