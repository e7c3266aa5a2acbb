// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/LineReader.h"

#include "platform/Cp932Codec.h"

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

QByteArray LineReader::readRawLine() {
    return readLineView().toByteArray();
}

QString LineReader::readLine() {
    return cp932::decode(readRawLine());
}
