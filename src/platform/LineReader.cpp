#include "platform/LineReader.h"

#include "platform/Cp932Codec.h"

#include <cstring>

QByteArray LineReader::readRawLine() {
    const qsizetype size = m_data.size();
    if (m_pos >= size)
        return {};
    const char* begin = m_data.constData() + m_pos;
    const qsizetype left = size - m_pos;
    qsizetype len = 0;
    // memchr-driven scan: the common case is long runs without any break.
    const void* lf = std::memchr(begin, '\n', static_cast<size_t>(left));
    const qsizetype lfAt = lf ? static_cast<const char*>(lf) - begin : left;
    const void* cr = std::memchr(begin, '\r', static_cast<size_t>(lfAt));
    len = cr ? static_cast<const char*>(cr) - begin : lfAt;
    QByteArray line(begin, len);
    m_pos += len;
    if (m_pos < size && m_data[m_pos] == '\r') {
        ++m_pos;
        if (m_pos < size && m_data[m_pos] == '\n')
            ++m_pos;
    } else if (m_pos < size && m_data[m_pos] == '\n') {
        ++m_pos;
    }
    return line;
}

QString LineReader::readLine() {
    return cp932::decode(readRawLine());
}
