// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/LineReader.h"

#include "platform/Cp932Codec.h"

#include <algorithm>

QByteArrayView LineReader::readLineView() {
    const qsizetype size = m_data.size();
    if (m_pos >= size)
        return {};
    const char* data = m_data.constData();
    const qsizetype start = m_pos;
    qsizetype end = start;
    while (end < size && data[end] != '\r' && data[end] != '\n')
        ++end;
    m_pos = end;
    if (m_pos < size && data[m_pos] == '\r') {
        ++m_pos;
        if (m_pos < size && data[m_pos] == '\n')
            ++m_pos;
    } else if (m_pos < size) {
        ++m_pos;
    }
    return QByteArrayView(data + start, end - start);
}

qsizetype LineReader::lineStartFrom(QByteArrayView data, qsizetype offset) {
    if (offset <= 0)
        return 0;
    if (offset >= data.size())
        return data.size();
    // `offset` starts a line when a line break ends just before it; a CR there may be the
    // first half of CR LF.
    qsizetype i = offset;
    const char before = data[i - 1];
    if (before == '\n' || (before == '\r' && (i >= data.size() || data[i] != '\n')))
        return i;
    while (i < data.size() && data[i] != '\r' && data[i] != '\n')
        ++i;
    if (i < data.size() && data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
        ++i;
    return std::min(i + 1, data.size());
}

QByteArray LineReader::readRawLine() {
    return readLineView().toByteArray();
}

QString LineReader::readLine() {
    return cp932::decode(readRawLine());
}
