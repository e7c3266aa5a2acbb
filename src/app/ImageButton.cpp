#include "app/ImageButton.h"

#include <QMouseEvent>

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
