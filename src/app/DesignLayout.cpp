// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/DesignLayout.h"

#include <QWidget>

#include <cmath>
#include <stdexcept>

void DesignLayout::add(QWidget* control, fitting::TwipRect rect, Kind kind, double fontPoints) {
    m_controls.append({control, rect, kind, fontPoints});
}

const DesignLayout::Control& DesignLayout::find(const QWidget* control) const {
    for (const Control& c : m_controls) {
        if (c.widget == control)
            return c;
    }
    throw std::logic_error("control not in layout");
}

fitting::TwipRect& DesignLayout::rect(QWidget* control) {
    return const_cast<Control&>(find(control)).rect;
}

const fitting::TwipRect& DesignLayout::rect(QWidget* control) const {
    return find(control).rect;
}

void DesignLayout::fit(double tppX, double tppY) {
    for (Control& c : m_controls) {
        c.rect = fitting::fitControl(c.rect, tppX, tppY, c.kind == DriveList);
        if (c.kind != Image)
            c.fontPoints = fitting::fitFontSize(c.fontPoints, tppX);
    }
}

void DesignLayout::placeOne(QWidget* control, double tppX, double tppY) const {
    const Control& c = find(control);
    const auto px = [](int twips, double tpp) {
        return static_cast<int>(std::lround(twips / tpp));
    };
    c.widget->setGeometry(px(c.rect.left, tppX), px(c.rect.top, tppY), px(c.rect.width, tppX),
                          px(c.rect.height, tppY));
    if (c.kind != Image) {
        QFont font = c.widget->font();
        font.setPointSizeF(c.fontPoints);
        c.widget->setFont(font);
    }
}

void DesignLayout::place(double tppX, double tppY) const {
    for (const Control& c : m_controls)
        placeOne(c.widget, tppX, tppY);
}
