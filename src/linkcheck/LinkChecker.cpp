// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "linkcheck/LinkChecker.h"

#include "integration/BrowserAddress.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>

#ifndef KEEPSAKE_VERSION
#define KEEPSAKE_VERSION "0"
#endif

struct LinkChecker::Job {
    int id = 0;
    QString host;
    QUrl address;           // the address as the collection names it
    bool upgraded = false;  // trying the https form of an "http://" address
    QList<QUrl> visited;
    bool moved = false;         // a redirect went somewhere else than an https upgrade
    bool permanentOnly = true;  // every such redirect was 301 or 308
    QNetworkReply* reply = nullptr;
    QTimer* timer = nullptr;
    QElapsedTimer clock;
};

namespace {

// Only the scheme went from http to https: a browser would have asked for that anyway.
bool onlyUpgrades(const QUrl& from, const QUrl& to) {
    if (from.scheme() != QLatin1String("http") || to.scheme() != QLatin1String("https"))
        return false;
    QUrl same = to;
    same.setScheme(QStringLiteral("http"));
    if (same.port() == 443)
        same.setPort(-1);
    QUrl origin = from;
    if (origin.port() == 80)
        origin.setPort(-1);
    return same.adjusted(QUrl::StripTrailingSlash) == origin.adjusted(QUrl::StripTrailingSlash);
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

LinkChecker::LinkChecker(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)) {
    qRegisterMetaType<LinkChecker::Outcome>();
    m_network->setStrictTransportSecurityEnabled(false);
}

LinkChecker::~LinkChecker() {
    cancel();
}

QString LinkChecker::userAgent() {
    return QStringLiteral("keepsake-editor/" KEEPSAKE_VERSION " (link check)");
}

void LinkChecker::addCaCertificates(const QList<QSslCertificate>& certificates) {
    m_extraCas += certificates;
}

void LinkChecker::check(const QList<QString>& addresses) {
    for (int i = 0; i < addresses.size(); ++i)
        m_waiting.append({i, addresses[i]});
    startWaiting();
    if (!isRunning())
        emit finished();
}

void LinkChecker::cancel() {
    m_waiting.clear();
    const QList<Job*> jobs = m_jobs.values();
    m_jobs.clear();
    m_perHost.clear();
    for (Job* job : jobs) {
        if (job->reply) {
            job->reply->disconnect(this);
            job->reply->abort();
            job->reply->deleteLater();
        }
        delete job->timer;
        delete job;
    }
}

void LinkChecker::startWaiting() {
    for (qsizetype i = 0; i < m_waiting.size() && m_jobs.size() < kMaxRunning;) {
        const QUrl url(browseraddress::absolute(m_waiting[i].second.trimmed()), QUrl::StrictMode);
        const QString host = url.host().toLower();
        if (url.isValid() && !host.isEmpty() && m_perHost.value(host) >= kMaxPerHost) {
            ++i;
            continue;
        }
        const int id = m_waiting.takeAt(i).first;
        if (!url.isValid() || host.isEmpty() ||
            (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
            Outcome outcome;
            outcome.reason = QStringLiteral("検査できないアドレス");
            emit checked(id, outcome);
            continue;
        }
        auto* job = new Job;
        job->id = id;
        job->host = host;
        job->address = url;
        m_jobs.insert(id, job);
        ++m_perHost[host];
        job->timer = new QTimer(this);
        job->timer->setSingleShot(true);
        connect(job->timer, &QTimer::timeout, this, [this, id] {
            if (Job* j = m_jobs.value(id))
                fail(*j, QStringLiteral("時間切れ"));
        });
        job->clock.start();
        QUrl first = url;
        if (url.scheme() == QLatin1String("http")) {
            // As browsers do now; the https attempt has a third of the time, and whatever
            // keeps it from answering sends the check back to the address as written.
            job->upgraded = true;
            first.setScheme(QStringLiteral("https"));
            if (first.port() == 80)
                first.setPort(-1);
            job->timer->start(m_timeoutMs / 3);
        } else {
            job->timer->start(m_timeoutMs);
        }
        job->visited.append(first);
        request(*job, first, true);
    }
}

void LinkChecker::request(Job& job, const QUrl& url, bool head) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    if (!m_extraCas.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(m_extraCas);
        request.setSslConfiguration(tls);
    }
    QNetworkReply* reply = head ? m_network->head(request) : m_network->get(request);
    reply->setProperty("keepsakeHead", head);
    job.reply = reply;
    // The status and the headers are all a check needs: a page's body is never read.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
            answered(reply);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { answered(reply); });
}

void LinkChecker::answered(QNetworkReply* reply) {
    reply->disconnect(this);
    // Not from inside the reply's own signal: it goes on after it.
    QMetaObject::invokeMethod(
        reply,
        [reply] {
            if (!reply->isFinished())
                reply->abort();
            reply->deleteLater();
        },
        Qt::QueuedConnection);
    Job* found = nullptr;
    for (Job* job : std::as_const(m_jobs)) {
        if (job->reply == reply)
            found = job;
    }
    if (!found)
        return;
    Job& job = *found;
    job.reply = nullptr;
    const QVariant code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!code.isValid()) {
        fail(job, reply->errorString());
        return;
    }
    const int status = code.toInt();
    const bool head = reply->property("keepsakeHead").toBool();
    if (head && (status == 405 || status == 501)) {
        request(job, reply->url(), false);
        return;
    }
    if (isRedirect(status) && reply->hasRawHeader("Location")) {
        const QUrl next = reply->url().resolved(
            QUrl::fromEncoded(reply->rawHeader("Location"), QUrl::TolerantMode));
        if (job.visited.contains(next)) {
            fail(job, QStringLiteral("転送が繰り返されています"));
            return;
        }
        if (job.visited.size() > kMaxRedirects) {
            fail(job, QStringLiteral("転送が多すぎます"));
            return;
        }
        if (!next.isValid() ||
            (next.scheme() != QLatin1String("http") && next.scheme() != QLatin1String("https"))) {
            fail(job, QStringLiteral("転送先が正しくありません"));
            return;
        }
        if (!onlyUpgrades(reply->url(), next)) {
            job.moved = true;
            if (status != 301 && status != 308)
                job.permanentOnly = false;
        }
        job.visited.append(next);
        request(job, next, true);
        return;
    }
    Outcome outcome;
    outcome.status = status;
    if (status == 404 || status == 410) {
        outcome.result = Result::Gone;
    } else if (status >= 400) {
        outcome.result = Result::Refused;
    } else if (job.moved && job.permanentOnly) {
        outcome.result = Result::Moved;
        outcome.movedTo = reply->url().toString();
    } else {
        outcome.result = Result::Works;
    }
    finish(job, outcome);
}

void LinkChecker::fail(Job& job, const QString& reason) {
    if (job.reply) {
        job.reply->disconnect(this);
        job.reply->abort();
        job.reply->deleteLater();
        job.reply = nullptr;
    }
    const int left = m_timeoutMs - static_cast<int>(job.clock.elapsed());
    if (job.upgraded && left > 0) {
        job.upgraded = false;
        job.visited = {job.address};
        job.moved = false;
        job.permanentOnly = true;
        job.timer->start(left);
        request(job, job.address, true);
        return;
    }
    Outcome outcome;
    outcome.reason = reason;
    finish(job, outcome);
}

void LinkChecker::finish(Job& job, Outcome outcome) {
    const int id = job.id;
    m_jobs.remove(id);
    if (--m_perHost[job.host] <= 0)
        m_perHost.remove(job.host);
    job.timer->stop();
    job.timer->deleteLater();
    delete &job;
    emit checked(id, outcome);
    // A slot may have cancelled the run.
    startWaiting();
    if (!isRunning())
        emit finished();
}
