// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QSet>

// The Windows profile (INI) format on the file's own bytes, code page 932.
//
// Reading gives what GetPrivateProfileStringA gives with the default "" and a buffer of 1024
// characters; writing gives the file that WritePrivateProfileStringA leaves behind. Section
// and key names compare with ASCII case folding; a lead byte (0x81-0x9F, 0xE0-0xFC) and the
// byte after it form one character that is never split, folded or taken for a delimiter.
// A line ends at CR LF, a lone CR or a lone LF.

// The longest value a read returns, in bytes.
inline constexpr qsizetype kProfileValueMax = 1023;

// The value of key in section of the profile text file, or empty when the section or key is
// missing. Blanks around the value and one pair of matching outer quotes are dropped.
// *cut, when given, tells whether the value was longer than the buffer and came back cut: such a
// value must never be written back as the stored one.
QByteArray profileRead(QByteArrayView file, QByteArrayView section, QByteArrayView key,
                       bool* cut = nullptr);

// Every key of the first section called `section`, each under its folded name (see
// profileFoldName), with the value profileRead() would give for it. For reading many keys of
// one section without going over the file each time.
// *cut, when given, receives the folded names of the values that came back cut.
QHash<QByteArray, QByteArray> profileReadSection(QByteArrayView file, QByteArrayView section,
                                                 QSet<QByteArray>* cut = nullptr);

// A key name as lookups compare it: trimmed of spaces, single-byte letters upper-cased.
QByteArray profileFoldName(QByteArrayView name);

// The complete new profile text after setting key in section to value. Only the line of the
// key changes, or one line (and a section header) is inserted; every other byte is kept.
QByteArray profileWrite(QByteArrayView file, QByteArrayView section, QByteArrayView key,
                        QByteArrayView value);
