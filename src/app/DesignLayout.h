// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/WindowFitting.h"

#include <QList>

class QWidget;

// The controls of one window with their places in twips. The window is designed at 15 twips
// per pixel; FitWindow scales the places once, and place() turns them into pixels with the
// screen's own twips per pixel.
class DesignLayout {
public:
    enum Kind { Plain, Image, DriveList };

    void add(QWidget* control, fitting::TwipRect rect, Kind kind = Plain, double fontPoints = 9.0);
    fitting::TwipRect& rect(QWidget* control);
    const fitting::TwipRect& rect(QWidget* control) const;

    // Scales every place and font by the screen's twips per pixel.
    void fit(double tppX, double tppY);
    // Sets every control's geometry (and font) from its place in twips.
    void place(double tppX, double tppY) const;
    void placeOne(QWidget* control, double tppX, double tppY) const;

    double tppX() const { return m_tppX; }
    double tppY() const { return m_tppY; }
    void setScreenScale(double tppX, double tppY) {
        m_tppX = tppX;
        m_tppY = tppY;
    }

private:
    struct Control {
        QWidget* widget;
        fitting::TwipRect rect;
        Kind kind;
        double fontPoints;
    };
    const Control& find(const QWidget* control) const;
    QList<Control> m_controls;
    double m_tppX = 15.0;
    double m_tppY = 15.0;
};
