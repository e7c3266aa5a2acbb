// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/CollectionInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kDone = "ok\n";

// True when an editor answers on `name`. One that accepts the request but is too busy to
// answer in time (a long read) still runs.
bool askToRaise(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(kRaise);
    socket.waitForBytesWritten(1000);
    socket.waitForReadyRead(3000);
    return true;
}

}  // namespace

CollectionInstance::CollectionInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder), m_name(serverName(folder)) {
    connect(&m_server, &QLocalServer::newConnection, this, &CollectionInstance::answer);
}

CollectionInstance::~CollectionInstance() = default;

QString CollectionInstance::serverName(const QString& folder) {
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QFileInfo(folder).absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    return runtime + QStringLiteral("/keepsake-editor-") + QString::fromLatin1(hash);
}

bool CollectionInstance::handOver() {
    if (askToRaise(m_name))
        return true;
    m_lock = std::make_unique<InstanceLock>(m_folder);
    if (m_lock->heldByAnother()) {
        // An editor that is still starting holds the lock before it listens: ask it for a
        // while. It runs on this folder whether or not it answers.
        const QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && !askToRaise(m_name))
            QThread::msleep(100);
        return true;
    }
    // Nobody answered and this editor holds the lock: a socket left by an editor that has
    // gone would refuse the name.
    QLocalServer::removeServer(m_name);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(m_name)) {
        qWarning("keepsake-editor: cannot listen on %s: %s", qPrintable(m_name),
                 qPrintable(m_server.errorString()));
    }
    return false;
}

void CollectionInstance::answer() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto serve = [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kRaise) {
                emit raiseRequested();
                socket->write(kDone);
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, serve);
        // The request may have come with the connection.
        serve();
    }
}

void CollectionInstance::bringToFront(QWidget* main) {
    QWidget* window = QApplication::activeModalWidget();
    if (!window && main && main->isVisible())
        window = main;
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    // The request comes from another program, not from an input event, so the last server
    // time this editor saw may be older than the last change of focus, and the X server (or
    // the window manager) ignores a request to activate dated before it. A change of a
    // property of the window brings a current time with its notification; the activation
    // follows once that has been read.
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) {
        window->activateWindow();
        return;
    }
    xcb_connection_t* connection = x11->connection();
    static const QByteArray name = "_KEEPSAKE_EDITOR_RAISE";
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (reply) {
        xcb_change_property(connection, XCB_PROP_MODE_APPEND,
                            static_cast<xcb_window_t>(window->winId()), reply->atom,
                            XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(connection);
        std::free(reply);
    }
    QTimer::singleShot(100, window, [window] { window->activateWindow(); });
}
