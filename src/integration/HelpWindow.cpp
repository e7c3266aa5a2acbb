// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "integration/HelpWindow.h"

#include <QHBoxLayout>
#include <QScreen>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// The client size the manual reads best at, and the narrowest that still reads: about twenty
// Japanese characters a line.
constexpr int kPreferredWidth = 640;
constexpr int kPreferredHeight = 600;
constexpr int kNarrowestWidth = 240;
// Between the editor and its help, so that their frames do not touch.
constexpr int kGap = 4;
}  // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("KEEPSAKE EDITOR ヘルプ"));
    // Closing the help only hides it; the editor's end closes it with the editor.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowModality(Qt::NonModal);

    // Tool buttons take no more width than their captions, so that a help narrowed to the
    // room beside the editor keeps them.
    auto button = [this](const QString& text) {
        auto* b = new QToolButton(this);
        b->setText(text);
        return b;
    };
    m_contents = button(QStringLiteral("目次"));
    m_back = button(QStringLiteral("戻る"));
    m_forward = button(QStringLiteral("進む"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpText"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_contents);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_contents, &QToolButton::clicked, this,
            [this] { m_browser->setSource(contentsPage()); });
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    resize(kPreferredWidth, kPreferredHeight);
}

QRect HelpWindow::placeBeside(const QRect& owner, const QRect& screen, const QMargins& margins) {
    const int frameX = margins.left() + margins.right();
    const int frameY = margins.top() + margins.bottom();
    const int preferred = kPreferredWidth + frameX;
    const int narrowest = kNarrowestWidth + frameX;
    const int rightRoom = screen.right() - owner.right() - kGap;
    const int leftRoom = owner.left() - screen.left() - kGap;
    const bool rightWider = rightRoom >= leftRoom;

    int width = preferred;
    int left = 0;
    if (rightRoom >= preferred) {
        left = owner.right() + 1 + kGap;
    } else if (leftRoom >= preferred) {
        left = owner.left() - kGap - preferred;
    } else if (std::max(rightRoom, leftRoom) >= narrowest) {
        width = std::max(rightRoom, leftRoom);
        left = rightWider ? owner.right() + 1 + kGap : screen.left();
    } else {
        // No side has room: at the screen's edge on the wider side, over part of the editor.
        width = std::min(preferred, screen.width());
        left = rightWider ? screen.right() + 1 - width : screen.left();
    }
    const int height = std::min(kPreferredHeight + frameY, screen.height());
    const int top = std::clamp(owner.top(), screen.top(), screen.bottom() + 1 - height);
    return {left, top, width, height};
}

void HelpWindow::placeBesideOwner() {
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner ? owner->screen() : this->screen();
    if (!owner || !screen)
        return;
    // The window manager's frame is not known before the help is first shown; the editor's
    // own frame is the same kind.
    const QRect frame = owner->frameGeometry();
    const QRect client = owner->geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    const QRect place = placeBeside(frame, screen->availableGeometry(), margins);
    resize(place.width() - margins.left() - margins.right(),
           place.height() - margins.top() - margins.bottom());
    move(place.topLeft());
}

QUrl HelpWindow::contentsPage() {
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

void HelpWindow::showContents() {
    m_browser->setSource(contentsPage());
    if (!isVisible())
        placeBesideOwner();
    show();
    raise();
    activateWindow();
}
