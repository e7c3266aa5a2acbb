// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Fitting the main window to the screen, and stretching its lists with its width.
#include "app/DesignLayout.h"
#include "app/Refile.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>

namespace {
constexpr int kClientWidth = 6540;
constexpr int kClientHeight = 5265;
}  // namespace

void Refile::FitWindow() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const double tppX = s ? fitting::twipsPerPixel(s->logicalDotsPerInchX()) : 15.0;
    const double tppY = s ? fitting::twipsPerPixel(s->logicalDotsPerInchY()) : 15.0;
    const QRect screenRect = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);

    // The menu bar is part of the window's frame: only the client area scales.
    const int menuTwips = static_cast<int>(menuBar()->sizeHint().height() * tppY);
    const fitting::WindowFit fit =
        fitting::fitWindow(kClientWidth, kClientHeight + menuTwips, kClientWidth, kClientHeight,
                           static_cast<int>(screenRect.width() * tppX),
                           static_cast<int>(screenRect.height() * tppY), tppX, tppY);
    m_layout->fit(tppX, tppY);
    m_layout->setScreenScale(tppX, tppY);
    m_layout->place(tppX, tppY);
    resize(static_cast<int>(fit.width / tppX), static_cast<int>(fit.height / tppY));
    move(screenRect.left() + static_cast<int>(fit.left / tppX),
         screenRect.top() + static_cast<int>(fit.top / tppY));
}

void Refile::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isMinimized() || !centralWidget())
        return;
    const double tppX = m_layout->tppX();
    const double tppY = m_layout->tppY();
    const int clientTwips = static_cast<int>(centralWidget()->width() * tppX);
    fitting::TwipRect& list = m_layout->rect(lstURLs[0]);
    list.width = fitting::stretchedWidth(clientTwips, list.left);
    m_layout->placeOne(lstURLs[0], tppX, tppY);
    for (QWidget* w : {static_cast<QWidget*>(lstURLs[1]), static_cast<QWidget*>(lstURLs[2])}) {
        m_layout->rect(w) = list;
        m_layout->placeOne(w, tppX, tppY);
    }
    for (QWidget* w : {static_cast<QWidget*>(lblComDisp), static_cast<QWidget*>(lblDateDisp),
                       static_cast<QWidget*>(lstSub)}) {
        fitting::TwipRect& r = m_layout->rect(w);
        r.left = list.left;
        r.width = list.width;
        m_layout->placeOne(w, tppX, tppY);
    }
}
