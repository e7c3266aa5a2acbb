// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "RealInput.h"

// Answers the modal boxes and dialogs that come up, one step each, in order. A step runs once
// its window is up and has the keyboard; it acts through the X server and returns. A window
// that no step expects, or that is still up long after, is closed, so that nothing is left
// waiting for a person.
class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalScript(QList<Step> steps) : m_steps(std::move(steps)) {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start();
    }
    bool finished() const { return m_steps.isEmpty() && !QApplication::activeModalWidget(); }
    QStringList failures;

    // Presses `key` through the X server for the box `modal`, again if the box saw no key at
    // all: on a loaded machine the server may still send a key to the window before, though
    // the box is already active for Qt. A key the box saw is never sent twice.
    static bool press(QWidget* modal, const QString& key) {
        QPointer<QWidget> box = modal;
        KeySeen seen(modal);
        for (int tries = 0; tries < 3; ++tries) {
            if (!realinput::xdotool({QStringLiteral("key"), key}))
                return false;
            if (QTest::qWaitFor([&] { return seen.any || !box || !box->isVisible(); }, 3000))
                return true;
            if (box)
                box->activateWindow();
        }
        return false;
    }

private:
    void tick() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_answered)
            return giveUpAfterAWhile(modal);
        if (m_steps.isEmpty()) {
            failures << QStringLiteral("unexpected window: ") + modal->windowTitle();
            modal->close();
            return;
        }
        if (!modal->isVisible())
            return;
        modal->activateWindow();
        m_timer.stop();
        if (QTest::qWaitForWindowActive(modal, 5000)) {
            m_answered = modal;
            m_answeredAt = QDeadlineTimer(10000);
            m_steps.takeFirst()(modal);
        } else {
            failures << QStringLiteral("never got the keyboard: ") + modal->windowTitle();
            modal->close();
        }
        m_timer.start();
    }
    void giveUpAfterAWhile(QWidget* modal) {
        if (modal && modal == m_answered && m_answeredAt.hasExpired()) {
            const QWidget* focus = QApplication::focusWidget();
            failures << QStringLiteral("still up after its answer: %1 (active: %2, keyboard in %3)")
                            .arg(modal->windowTitle(), modal->isActiveWindow() ? "yes" : "no",
                                 focus ? focus->metaObject()->className() : "none");
            modal->close();
        }
    }

    struct KeySeen : QObject {
        explicit KeySeen(QWidget* box) : m_box(box) { qApp->installEventFilter(this); }
        bool eventFilter(QObject* to, QEvent* event) override {
            any = any || (event->type() == QEvent::KeyPress && m_box && to->isWidgetType() &&
                          (to == m_box || m_box->isAncestorOf(static_cast<QWidget*>(to))));
            return false;
        }
        QPointer<QWidget> m_box;
        bool any = false;
    };

    QList<Step> m_steps;
    QTimer m_timer;
    // A box on the stack may come back at the address of the one before: only a box that
    // still exists counts as answered.
    QPointer<QWidget> m_answered;
    QDeadlineTimer m_answeredAt;
};
