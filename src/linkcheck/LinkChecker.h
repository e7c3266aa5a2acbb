// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// Asks each address's server whether it is still there, as a browser would reach it today:
// "http://" addresses over https first, HEAD and then GET when HEAD is refused, redirects
// followed one by one. Only the request itself is sent: no cookies, no cache, no referrer.
// Nothing is written anywhere; the outcome of each address is announced once.
class LinkChecker : public QObject {
    Q_OBJECT

public:
    enum class Result { Works, Moved, Gone, Refused, NoAnswer };
    struct Outcome {
        Result result = Result::NoAnswer;
        int status = 0;   // the last HTTP status, 0 when none came
        QString movedTo;  // for Moved: the absolute address the permanent redirects end at
        QString reason;   // for NoAnswer: what went wrong
    };

    static constexpr int kMaxRunning = 6;
    static constexpr int kMaxPerHost = 2;
    static constexpr int kMaxRedirects = 10;
    static constexpr int kTimeoutMs = 10000;

    explicit LinkChecker(QObject* parent = nullptr);
    ~LinkChecker() override;

    // Certificate authorities trusted besides the system's.
    void addCaCertificates(const QList<QSslCertificate>& certificates);
    // The time each address has, redirects included.
    void setTimeout(int ms) { m_timeoutMs = ms; }

    // Checks `addresses` (as the collection keeps them: without a scheme they are "http://");
    // each outcome is announced by `checked` with the address's place in the list.
    void check(const QList<QString>& addresses);
    // Stops at once: the requests under way are dropped and nothing more is announced.
    void cancel();
    bool isRunning() const { return !m_waiting.isEmpty() || !m_jobs.isEmpty(); }

    static QString userAgent();

signals:
    void checked(int id, const LinkChecker::Outcome& outcome);
    // Every address has its outcome (not after a cancel).
    void finished();

private:
    struct Job;
    void startWaiting();
    void request(Job& job, const QUrl& url, bool head);
    void answered(QNetworkReply* reply);
    void fail(Job& job, const QString& reason);
    void finish(Job& job, Outcome outcome);

    QNetworkAccessManager* m_network = nullptr;  // a child object
    QList<QSslCertificate> m_extraCas;
    int m_timeoutMs = kTimeoutMs;
    QList<QPair<int, QString>> m_waiting;  // id, address
    QHash<int, Job*> m_jobs;               // running, by id
    QHash<QString, int> m_perHost;
};

Q_DECLARE_METATYPE(LinkChecker::Outcome)
