// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/LineReader.h"

#include "platform/Cp932Codec.h"

#include <algorithm>
#include <cstring>

QByteArrayView LineReader::readLineView() {
    const qsizetype size = m_data.size();
    if (m_pos >= size)
        return {};
    if (m_cr < m_pos)
        m_cr = find('\r');
    if (m_lf < m_pos)
        m_lf = find('\n');
    const char* data = m_data.constData();
    const qsizetype start = m_pos;
    const qsizetype end = std::min(m_cr, m_lf);
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

qsizetype LineReader::find(char c) const {
    const auto* at = static_cast<const char*>(std::memchr(
        m_data.constData() + m_pos, c, static_cast<std::size_t>(m_data.size() - m_pos)));
    return at ? at - m_data.constData() : m_data.size();
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
