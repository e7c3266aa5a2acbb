// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/LineReader.h"

#include "platform/Cp932Codec.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Where the first CR or LF at or after `from` lies, or `size`. Sixteen bytes are compared
// with both at once: a line is a few dozen bytes, and looking for each break with a call of
// its own (the index splits the lines of a thousand pages) read every line twice.
qsizetype lineBreakIn(const char* data, qsizetype size, qsizetype from) {
    qsizetype i = from;
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const auto breaks = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
        if (breaks != 0)
            return i + __builtin_ctz(breaks);
    }
#endif
    while (i < size && data[i] != '\r' && data[i] != '\n')
        ++i;
    return i;
}

}  // namespace

QByteArrayView LineReader::readLineView() {
    const qsizetype size = m_data.size();
    if (m_pos >= size)
        return {};
    const char* data = m_data.constData();
    const qsizetype start = m_pos;
    const qsizetype end = lineBreakIn(data, size, m_pos);
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
    i = lineBreakIn(data.data(), data.size(), i);
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
