// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "commands/NameRules.h"

#include "keepsake/KeepsakeFormat.h"
#include "platform/Cp932Codec.h"
#include "settings/ProfileFormat.h"

#include <algorithm>

namespace namerules {
namespace {
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\x3000';
}

bool isControl(QChar c) {
    return c.unicode() <= 0x1F || c.unicode() == 0x7F;
}
}  // namespace

QString tidy(const QString& answer) {
    qsizetype begin = 0;
    qsizetype end = answer.size();
    while (begin < end && isBlank(answer[begin]))
        ++begin;
    while (end > begin && isBlank(answer[end - 1]))
        --end;
    return answer.mid(begin, end - begin);
}

QString refusal(const QString& name) {
    if (name.size() >= 2 && (name.front() == u'"' || name.front() == u'\'') &&
        name.back() == name.front()) {
        return QStringLiteral("引用符で囲まれた項目名は使えません。");
    }
    // A line break would end the value in the settings file and start a line of its own.
    if (name.contains(u'\r') || name.contains(u'\n') || name.contains(u'\0')) {
        return QStringLiteral("改行を含む項目名は使えません。");
    }
    if (!cp932::canEncode(name)) {
        return QStringLiteral("項目名に保存できない文字が含まれています。");
    }
    // The settings file would hold a longer name whole, but it reads back cut.
    if (cp932::encode(name).size() > kProfileValueMax) {
        return QStringLiteral(
            "項目名が長すぎます。項目名はShift_JISで1,023バイト（全角文字は"
            "1文字2バイト）までにしてください。");
    }
    return {};
}

QString folderRefusal(const QString& path) {
    if (std::any_of(path.cbegin(), path.cend(), isControl)) {
        return QStringLiteral("[") + QString(path).replace(u'\n', u' ').replace(u'\r', u' ') +
               QStringLiteral(
                   "]\nフォルダーの名前に改行などの制御文字が含まれているため、"
                   "設定に保存できません。別のフォルダーを選んでください。");
    }
    if (cp932::decode(cp932::encode(path)) != path) {
        return QStringLiteral("[") + path +
               QStringLiteral(
                   "]\nフォルダーの名前にShift_JISで表せない文字が含まれているため、"
                   "設定に保存できません。別のフォルダーを選んでください。");
    }
    if (cp932::encode(path).size() > kProfileValueMax) {
        return QStringLiteral("[") + path +
               QStringLiteral(
                   "]\nフォルダーの名前が長すぎるため（Shift_JISで1,023バイトまで、全角文字は"
                   "1文字2バイト）、設定に保存できません。別のフォルダーを選んでください。");
    }
    return {};
}

QString commentRefusal(const QString& comment) {
    // A line break would split the comment line of the page in two.
    if (comment.contains(u'\r') || comment.contains(u'\n')) {
        return QStringLiteral("改行を含むコメントは保存できません。");
    }
    if (keepsake::isUnreadableComment(comment)) {
        return QStringLiteral("「 》」を含むコメントは保存できません。");
    }
    if (!cp932::canEncode(comment)) {
        return QStringLiteral("コメントに保存できない文字が含まれています。");
    }
    return {};
}

}  // namespace namerules
