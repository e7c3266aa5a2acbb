// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "collecting/KeepHost.h"

#include <QFileDevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <cstring>

namespace collecting {
namespace {

QByteArray errorAnswer(const QString& text) {
    return QJsonDocument(QJsonObject{{QStringLiteral("error"), text}})
        .toJson(QJsonDocument::Compact);
}

// Reads exactly `size` bytes; a read blocks until data arrives, and 0 means the input ended.
bool readExactly(QIODevice& in, char* data, qint64 size) {
    qint64 got = 0;
    while (got < size) {
        const qint64 n = in.read(data + got, size - got);
        if (n <= 0)
            return false;
        got += n;
    }
    return true;
}

// A text member: absent and null count as empty; anything else but a string is refused.
bool textMember(const QJsonObject& request, const QString& name, QString* value) {
    const QJsonValue member = request.value(name);
    if (member.isUndefined() || member.isNull()) {
        value->clear();
        return true;
    }
    if (!member.isString())
        return false;
    *value = member.toString();
    return true;
}

}  // namespace

QByteArray answerRequest(const QByteArray& message, const KeepTarget& target,
                         const QDateTime& now) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(message);  // the decoder reports only once it has run
    Q_UNUSED(decoded)
    if (utf8.hasError())
        return errorAnswer(QStringLiteral("ブラウザーからのメッセージがUTF-8ではありません。"));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(message, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return errorAnswer(QStringLiteral("ブラウザーからのメッセージが読めません。"));
    const QJsonObject request = document.object();
    QString address, title, comment;
    if (!textMember(request, QStringLiteral("address"), &address) ||
        !textMember(request, QStringLiteral("title"), &title) ||
        !textMember(request, QStringLiteral("comment"), &comment)) {
        return errorAnswer(
            QStringLiteral("ブラウザーからのメッセージの項目が文字列ではありません。"));
    }
    const KeptEntry entry = prepareEntry(address, comment, title);
    if (!entry.ok())
        return errorAnswer(entry.error);
    // The popup asks first what would be stored, so the user sees it before keeping.
    if (request.value(QStringLiteral("check")).toBool()) {
        const QJsonObject check{{QStringLiteral("address"), entry.shownAddress()},
                                {QStringLiteral("comment"), entry.com}};
        return QJsonDocument(
                   QJsonObject{{QStringLiteral("ok"), true}, {QStringLiteral("check"), check}})
            .toJson(QJsonDocument::Compact);
    }
    if (!target.error.isEmpty())
        return errorAnswer(target.error);
    const KeepResult kept = keepEntry(target.place, entry, now);
    if (!kept.ok)
        return errorAnswer(kept.message);
    const QJsonObject stored{{QStringLiteral("address"), entry.shownAddress()},
                             {QStringLiteral("comment"), entry.com},
                             {QStringLiteral("file"), kept.file}};
    return QJsonDocument(
               QJsonObject{{QStringLiteral("ok"), true}, {QStringLiteral("stored"), stored}})
        .toJson(QJsonDocument::Compact);
}

QByteArray frame(const QByteArray& json) {
    const auto size = static_cast<quint32>(json.size());
    QByteArray out(sizeof size, Qt::Uninitialized);
    std::memcpy(out.data(), &size, sizeof size);
    return out + json;
}

void serve(QIODevice& in, QIODevice& out, const std::function<KeepTarget()>& target,
           const std::function<QDateTime()>& now) {
    for (;;) {
        quint32 size = 0;
        if (!readExactly(in, reinterpret_cast<char*>(&size), sizeof size))
            return;
        if (size > kMaxMessageBytes) {
            out.write(frame(
                errorAnswer(QStringLiteral("ブラウザーからのメッセージが大きすぎます（%1バイト）。")
                                .arg(size))));
            return;
        }
        QByteArray message(static_cast<qsizetype>(size), Qt::Uninitialized);
        if (!readExactly(in, message.data(), size))
            return;
        out.write(frame(answerRequest(message, target(), now())));
        if (auto* file = qobject_cast<QFileDevice*>(&out))
            file->flush();
    }
}

}  // namespace collecting
