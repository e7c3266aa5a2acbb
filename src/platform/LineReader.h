// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Reads a text file's bytes line by line, the way the pages are read: a line ends at CR LF,
// at a lone CR or at a lone LF; a line break at the very end does not start another line.
// Lines are split on the bytes first and decoded as CP932 afterwards, so a broken lead byte
// can never swallow a line break.
class LineReader {
public:
    explicit LineReader(QByteArray data) : m_data(std::move(data)) {}

    // No data is left after the line read last.
    bool atEnd() const { return m_pos >= m_data.size(); }

    // The next line without its line break; an empty string when atEnd().
    QString readLine();

    // The next line's raw bytes without its line break.
    QByteArray readRawLine();

    // The same without a copy: the view stays valid as long as the reader.
    QByteArrayView readLineView();

    // Where the next line starts, in bytes; seek() goes to a place position() gave, so that
    // another reader of the same bytes can go on where this one stopped.
    qsizetype position() const { return m_pos; }
    void seek(qsizetype position) { m_pos = position; }
    // The start of the first line that begins at or after `offset` (the end when none does).
    static qsizetype lineStartFrom(QByteArrayView data, qsizetype offset);

private:
    QByteArray m_data;
    qsizetype m_pos = 0;
};
