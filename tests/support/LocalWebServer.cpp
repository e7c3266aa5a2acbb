// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/LocalWebServer.h"

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

LocalWebServer::LocalWebServer() = default;
LocalWebServer::~LocalWebServer() = default;

bool LocalWebServer::listen(quint16 httpPort, quint16 httpsPort, QString* error) {
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    const QString cert = m_dir.filePath(QStringLiteral("cert.pem"));
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(
        QStringLiteral("openssl"),
        {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
         "-keyout", key, "-out", cert, "-days", "2", "-subj", "/CN=localhost", "-addext",
         "subjectAltName=DNS:localhost", "-addext", "basicConstraints=critical,CA:TRUE"});
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        *error = QStringLiteral("openssl could not make the test certificate: ") +
                 QString::fromLocal8Bit(openssl.readAll()) + openssl.errorString();
        return false;
    }
    QFile keyFile(key), certFile(cert);
    if (!keyFile.open(QIODevice::ReadOnly) || !certFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the test certificate");
        return false;
    }
    m_certificate = QSslCertificate(certFile.readAll());
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(m_certificate);
    tls.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Ec));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);

    m_http = new QTcpServer(this);
    m_https = new QSslServer(this);
    m_https->setSslConfiguration(tls);
    connect(m_http, &QTcpServer::pendingConnectionAvailable, this,
            [this] { accept(m_http, false); });
    connect(m_https, &QTcpServer::pendingConnectionAvailable, this,
            [this] { accept(m_https, true); });
    if (!m_http->listen(QHostAddress::Any, httpPort) ||
        !m_https->listen(QHostAddress::Any, httpsPort)) {
        *error = QStringLiteral("cannot listen: ") + m_http->errorString() + QLatin1Char(' ') +
                 m_https->errorString();
        return false;
    }
    return true;
}

bool LocalWebServer::listenForPages(std::function<QByteArray(const QByteArray& path)> page) {
    m_page = std::move(page);
    m_http = new QTcpServer(this);
    connect(m_http, &QTcpServer::pendingConnectionAvailable, this,
            [this] { accept(m_http, false); });
    return m_http->listen(QHostAddress::LocalHost, 0);
}

QString LocalWebServer::site() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_http->serverPort());
}

bool LocalWebServer::asked(const QByteArray& path) const {
    for (const Seen& s : seen) {
        if (s.path == path)
            return true;
    }
    return false;
}

int LocalWebServer::openSilent() const {
    int open = 0;
    for (const QPointer<QTcpSocket>& socket : m_silent) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            ++open;
    }
    return open;
}

void LocalWebServer::accept(QTcpServer* server, bool tls) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, tls] { read(socket, tls); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            read(socket, tls);
    }
}

void LocalWebServer::read(QTcpSocket* socket, bool tls) {
    QByteArray buffered = socket->property("buffered").toByteArray() + socket->readAll();
    const qsizetype end = buffered.indexOf("\r\n\r\n");
    if (end < 0) {
        socket->setProperty("buffered", buffered);
        return;
    }
    socket->setProperty("buffered", QByteArray());
    const QList<QByteArray> lines = buffered.left(end).split('\n');
    const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
    Seen s;
    s.method = request.value(0);
    s.path = request.value(1);
    s.tls = tls;
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon).trimmed().toLower();
        if (name == "user-agent")
            s.userAgent = line.mid(colon + 1).trimmed();
        if (name == "cookie")
            s.cookie = true;
    }
    seen.append(s);

    if (m_page) {
        const QByteArray body = m_page(s.path);
        socket->write(
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
            "Content-Length: " +
            QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
        return;
    }
    // The query only tells addresses apart.
    const QByteArray path = s.path.split('?').value(0);
    int status = 200;
    QByteArray location;
    QByteArray extra;
    if (path == "/silent") {
        m_silent.append(socket);
        return;
    }
    if (path == "/up-https" && tls && !m_sentUp) {
        socket->disconnectFromHost();
        return;
    }
    if (path == "/ok" || path == "/final") {
    } else if (path == "/up-https") {
        if (!tls) {
            status = 301;
            location = "https://localhost/up-https";
            m_sentUp = true;
        }
    } else if (path == "/moved") {
        status = 301;
        location = "/moved2";
        extra = "Set-Cookie: visit=1; Path=/\r\n";
    } else if (path == "/moved2") {
        status = 308;
        location = "/final";
    } else if (path == "/temp") {
        status = 302;
        location = "/final";
    } else if (path == "/loop") {
        status = 301;
        location = "/loop2";
    } else if (path == "/loop2") {
        status = 301;
        location = "/loop";
    } else if (path == "/many") {
        status = 301;
        location = "/many/1";
    } else if (path.startsWith("/many/")) {
        status = 301;
        location = "/many/" + QByteArray::number(path.mid(6).toInt() + 1);
    } else if (path == "/gone410") {
        status = 410;
    } else if (path == "/broken") {
        status = 500;
    } else if (path == "/nohead") {
        status = s.method == "HEAD" ? 405 : 200;
    } else {
        status = 404;
    }
    const QByteArray body = s.method == "HEAD" ? QByteArray() : QByteArray("answer\n");
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(status) + " Answer\r\n";
    if (!location.isEmpty())
        answer += "Location: " + location + "\r\n";
    answer += extra +
              "Content-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
              "\r\nConnection: close\r\n\r\n" + body;
    socket->write(answer);
    socket->disconnectFromHost();
}
