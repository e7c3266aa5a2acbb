// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

// A picture that works as a button: it shows a pixmap, whole, and emits clicked() on a left
// click while enabled.
class ImageButton : public QLabel {
    Q_OBJECT

public:
    explicit ImageButton(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
