// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "collection/CollectionFolder.h"

#include "platform/Cp932Codec.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace collection {

namespace {

QString withSeparator(QString folder) {
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

}  // namespace

QString settingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/keepsake-editor/keepsake-editor.conf");
}

QString defaultFolder() {
    return QDir::homePath() + QStringLiteral("/Keepsake/");
}

bool isInstalled(const QString& programFolder) {
    return QFileInfo::exists(withSeparator(programFolder) +
                             QStringLiteral("../share/applications/") + kAppId +
                             QStringLiteral(".desktop"));
}

// The file is UTF-8 text in sections: "[Section]" lines, then "Key=" lines whose value runs
// to the end of the line, as it is (no quotes, no escapes). Every program reads it the same
// way, and a write replaces only its own line.
QString readSetting(const QString& section, const QString& key) {
    QByteArray bytes;
    if (!textfile::readAll(settingsFilePath(), &bytes))
        return {};
    const QByteArray sectionLine = '[' + section.toUtf8() + ']';
    const QByteArray keyStart = key.toUtf8() + '=';
    bool inSection = false;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('['))
            inSection = line == sectionLine;
        else if (inSection && line.startsWith(keyStart))
            return QString::fromUtf8(line.mid(keyStart.size()));
    }
    return {};
}

bool writeSetting(const QString& section, const QString& key, const QString& value,
                  QString* error) {
    // A line break would end the value early: such a value is not written.
    for (const QChar c : value) {
        if (c.unicode() < 0x20) {
            if (error)
                *error = QStringLiteral("the value holds a control character");
            return false;
        }
    }
    const QString path = settingsFilePath();
    if (!QDir().mkpath(QFileInfo(path).path())) {
        if (error)
            *error = QStringLiteral("cannot make the folder of ") + path;
        return false;
    }
    QByteArray bytes;
    if (QFileInfo::exists(path) && !textfile::readAll(path, &bytes, error))
        return false;
    const QByteArray sectionLine = '[' + section.toUtf8() + ']';
    const QByteArray keyStart = key.toUtf8() + '=';
    const QByteArray newLine = keyStart + value.toUtf8();
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qsizetype sectionAt = -1;
    qsizetype insertAt = -1;
    bool written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('[')) {
            if (sectionAt >= 0)
                break;
            if (line == sectionLine)
                sectionAt = insertAt = i + 1;
        } else if (sectionAt >= 0) {
            if (line.startsWith(keyStart)) {
                lines[i] = newLine;
                written = true;
            } else if (!line.trimmed().isEmpty()) {
                insertAt = i + 1;
            }
        }
    }
    if (!written) {
        if (sectionAt < 0) {
            lines << sectionLine << newLine;
        } else {
            lines.insert(insertAt, newLine);
        }
    }
    return textfile::replace(path, lines.join('\n') + '\n', error);
}

QString rememberedFolder() {
    const QString folder = readSetting(QStringLiteral("Collection"), QStringLiteral("Folder"));
    return folder.isEmpty() ? folder : withSeparator(folder);
}

bool remember(const QString& folder, QString* error) {
    return writeSetting(QStringLiteral("Collection"), QStringLiteral("Folder"), folder, error);
}

Choice choose(const QString& given, const QString& programFolder) {
    if (!given.isEmpty())
        return {withSeparator(QFileInfo(given).absoluteFilePath()), Source::Given, {}};
    if (!isInstalled(programFolder))
        return {withSeparator(programFolder), Source::Portable, {}};
    const QString remembered = rememberedFolder();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return {remembered, Source::Remembered, {}};
    return {defaultFolder(), Source::Default, remembered};
}

bool prepareDefault(const QString& folder, QString* error) {
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot make the folder");
        return false;
    }
    // The settings file is code page 932 with CR LF line ends, as the editor writes it.
    const QByteArray settings =
        "[Scribble]\r\nFolder=" + cp932::encode(withSeparator(folder)) + "\r\n";
    return textfile::replace(folder + QStringLiteral("KEEPSAKE.INI"), settings, error);
}

}  // namespace collection
