// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "collecting/KeepsakeAppend.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QString>

#include <functional>

// The browser's side of keeping: a native messaging host. The browser writes each message as
// a 32-bit length in the machine's byte order followed by that many bytes of UTF-8 JSON, and
// reads the answers framed the same way; nothing else may reach standard output.
namespace collecting {

// Where the entries go, or why there is nowhere to put them.
struct KeepTarget {
    KeepPlace place;
    QString error;
};

// A message longer than this is refused (the browsers never send such a request).
inline constexpr quint32 kMaxMessageBytes = 1024 * 1024;

// The answer to one request: {"ok": true, "stored": {"address", "comment", "file"}}, or
// {"error": "…"}, as compact JSON. A request with "check": true stores nothing and answers
// {"ok": true, "check": {"address", "comment"}}: what keeping it would store.
QByteArray answerRequest(const QByteArray& message, const KeepTarget& target, const QDateTime& now);

// The length prefix and the bytes.
QByteArray frame(const QByteArray& json);

// Serves requests from `in` until it ends, one framed answer to each. A truncated message ends
// the service without an answer; a length beyond kMaxMessageBytes is answered with an error,
// then the service ends (what follows cannot be framed). `target` is asked once per request.
void serve(QIODevice& in, QIODevice& out, const std::function<KeepTarget()>& target,
           const std::function<QDateTime()>& now);

}  // namespace collecting
