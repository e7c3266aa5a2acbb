// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// What a browser or a script hands over to be kept, made into the address and comment that the
// keepsake file can hold and give back as they are.
namespace collecting {

struct KeptEntry {
    QString url;    // as stored: without "http://"
    QString com;    // as stored: what the file's code page gives back
    QString error;  // why the address cannot be kept; empty when it can

    bool ok() const { return error.isEmpty(); }
    // The address as the editor shows and opens it.
    QString shownAddress() const { return QStringLiteral("http://") + url; }
};

// The entry for `address` with the comment the user typed; an empty comment (after trimming
// blanks, ASCII and ideographic) takes the page's title, else the address.
KeptEntry prepareEntry(const QString& address, const QString& comment, const QString& title);

// The address as an entry line stores it, or an error: "http://" is dropped, and so is
// "https://" on its default port, since the entry line's prefix is fixed.
KeptEntry prepareAddress(const QString& address);

// The comment as the comment line stores it: line breaks become blanks, " 》" (which would end
// the comment early) becomes "》", and characters code page 932 lacks become what the encoder
// writes for them. Trimmed; empty when nothing is left.
QString prepareComment(const QString& comment);

}  // namespace collecting
