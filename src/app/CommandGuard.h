// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/CommandGate.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// The window's side of the command gate: while the gate is held, the command sources (buttons
// and menu actions) send nothing and the window's own shortcuts are dropped; the keys of the
// box that holds it are left alone. A button's access key clicks after a short delay, and a
// shortcut typed before a box appeared is matched while the window still has the focus, so
// both would otherwise reach a command inside the box's event loop.
class CommandGuard : public QObject {
    Q_OBJECT

public:
    CommandGuard(QWidget* window, CommandGate& gate);

    // A button or menu action whose signal starts a command.
    void addSource(QObject* source);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void blockSources();
    void unblockSources();
    bool belongsToWindow(const QObject* object) const;

    QWidget* m_window;
    // The editor that owns the gate may go first while the window's children are deleted,
    // and events still pass the filter meanwhile.
    QPointer<CommandGate> m_gate;
    QList<QObject*> m_sources;
    QList<bool> m_wasBlocked;
};
