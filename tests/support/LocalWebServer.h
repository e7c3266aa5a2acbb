// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QTemporaryDir>

#include <functional>

class QSslServer;
class QTcpServer;
class QTcpSocket;

// A web server on this machine, over http and https (a certificate for "localhost" made
// with openssl when it starts), whose answers are chosen by the path:
//   /ok /final 200 · /moved 301 → /moved2 308 → /final (and sets a cookie) · /temp 302 →
//   /final · /loop 301 ↔ /loop2 · /many 301 → /many/1 → /many/2 … · /gone 404 · /gone410
//   410 · /broken 500 · /nohead 405 for HEAD, 200 for GET · /silent accepts and never answers
//   · /up-https over http 301 → https://localhost/up-https, which answers 200 once the http
//   side has sent someone there and hangs up on anyone before, so that a check must take
//   the redirect
// Anything else is 404. Or, for a browser: http alone on 127.0.0.1, every path a page of
// its own. Every request is recorded.
class LocalWebServer : public QObject {
    Q_OBJECT

public:
    struct Seen {
        QByteArray method;
        QByteArray path;
        QByteArray userAgent;
        bool cookie = false;
        bool tls = false;
    };

    LocalWebServer();
    ~LocalWebServer() override;

    // Listens on every address at the two ports; false with *error when it cannot.
    bool listen(quint16 httpPort, quint16 httpsPort, QString* error);
    // Listens on 127.0.0.1 at a port of the system's choice and answers every request with
    // the HTML (UTF-8) that `page` makes from its path; false when it cannot.
    bool listenForPages(std::function<QByteArray(const QByteArray& path)> page);
    // The address of the pages' server, "127.0.0.1:port".
    QString site() const;
    bool asked(const QByteArray& path) const;
    QSslCertificate certificate() const { return m_certificate; }

    QList<Seen> seen;
    // The connections to /silent that are still open.
    int openSilent() const;

private:
    void accept(QTcpServer* server, bool tls);
    void read(QTcpSocket* socket, bool tls);

    QTemporaryDir m_dir;
    QSslCertificate m_certificate;
    QTcpServer* m_http = nullptr;
    QSslServer* m_https = nullptr;
    QList<QPointer<QTcpSocket>> m_silent;
    bool m_sentUp = false;
    std::function<QByteArray(const QByteArray& path)> m_page;
};
