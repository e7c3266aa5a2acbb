// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "linkcheck/LinkResults.h"

#include <algorithm>

int LinkResults::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LinkResults::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString LinkResults::resultText(LinkChecker::Result result) {
    switch (result) {
        case LinkChecker::Result::Works:
            return QStringLiteral("正常");
        case LinkChecker::Result::Moved:
            return QStringLiteral("移転");
        case LinkChecker::Result::Gone:
            return QStringLiteral("消滅");
        case LinkChecker::Result::Refused:
            return QStringLiteral("拒否");
        case LinkChecker::Result::NoAnswer:
            break;
    }
    return QStringLiteral("応答なし");
}

QVariant LinkResults::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Row& row = m_rows[index.row()];
    if (role == FailedRole)
        return row.outcome && row.outcome->result != LinkChecker::Result::Works;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
        case Comment:
            return row.target.com;
        case Address:
            return row.target.url;
        case Category:
            return row.target.category;
        case Result:
            if (!row.outcome)
                return QString();
            if (row.outcome->result == LinkChecker::Result::NoAnswer &&
                !row.outcome->reason.isEmpty())
                return resultText(row.outcome->result) + QStringLiteral("（") +
                       row.outcome->reason + QStringLiteral("）");
            return resultText(row.outcome->result);
        case Status:
            return row.outcome && row.outcome->status > 0 ? QVariant(row.outcome->status)
                                                          : QVariant();
        case MovedTo:
            return row.outcome ? row.outcome->movedTo : QString();
    }
    return {};
}

QVariant LinkResults::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kTitles[ColumnCount] = {"コメント", "アドレス", "カテゴリ",
                                                     "結果",     "HTTP",     "移転先"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(kTitles[section]) : QVariant();
}

void LinkResults::setTargets(const QList<linkcheck::Target>& targets) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(targets.size());
    for (const linkcheck::Target& target : targets)
        m_rows.append({target, std::nullopt});
    m_answered = 0;
    endResetModel();
}

void LinkResults::setOutcome(int row, const LinkChecker::Outcome& outcome) {
    if (row < 0 || row >= m_rows.size())
        return;
    if (!m_rows[row].outcome)
        ++m_answered;
    m_rows[row].outcome = outcome;
    emit dataChanged(index(row, Result), index(row, MovedTo));
}

void LinkResults::removeTargets(QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : rows) {
        if (row < 0 || row >= m_rows.size())
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        if (m_rows[row].outcome)
            --m_answered;
        m_rows.removeAt(row);
        endRemoveRows();
    }
}

void LinkResults::setMoved(int row) {
    if (row < 0 || row >= m_rows.size() || !m_rows[row].outcome ||
        m_rows[row].outcome->result != LinkChecker::Result::Moved)
        return;
    Row& r = m_rows[row];
    r.target.url = linkcheck::keptForm(r.outcome->movedTo);
    r.outcome->result = LinkChecker::Result::Works;
    r.outcome->movedTo.clear();
    emit dataChanged(index(row, Address), index(row, MovedTo));
}
