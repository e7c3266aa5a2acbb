// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/CommandGuard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QWidget>

CommandGuard::CommandGuard(QWidget* window, CommandGate& gate)
    : QObject(window), m_window(window), m_gate(&gate) {
    QCoreApplication::instance()->installEventFilter(this);
    connect(&gate, &CommandGate::closed, this, &CommandGuard::blockSources);
    connect(&gate, &CommandGate::opened, this, &CommandGuard::unblockSources);
}

void CommandGuard::addSource(QObject* source) {
    m_sources.append(source);
}

void CommandGuard::blockSources() {
    m_wasBlocked.clear();
    for (QObject* source : m_sources)
        m_wasBlocked.append(source->blockSignals(true));
}

void CommandGuard::unblockSources() {
    for (qsizetype i = 0; i < m_sources.size(); ++i)
        m_sources[i]->blockSignals(m_wasBlocked.value(i));
}

// The window itself, its controls, its menus and their actions and shortcuts; not a dialog
// opened over it, though the dialog is its child.
bool CommandGuard::belongsToWindow(const QObject* object) const {
    for (; object; object = object->parent()) {
        if (object == m_window)
            return true;
        if (const auto* widget = qobject_cast<const QWidget*>(object);
            widget && widget->isWindow() && !qobject_cast<const QMenu*>(widget)) {
            return false;
        }
    }
    return false;
}

bool CommandGuard::eventFilter(QObject* watched, QEvent* event) {
    if (m_gate && m_gate->busy() && event->type() == QEvent::Shortcut && belongsToWindow(watched))
        return true;
    return QObject::eventFilter(watched, event);
}
