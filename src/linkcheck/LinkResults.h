// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "linkcheck/LinkChecker.h"
#include "linkcheck/LinkTargets.h"

#include <QAbstractTableModel>
#include <QList>

#include <optional>

// The addresses of one link check and what each answered, as the link check window shows
// them: comment, address, category, result, HTTP status and where it moved to. Kept for the
// run only.
class LinkResults : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Comment, Address, Category, Result, Status, MovedTo, ColumnCount };
    // True for a checked address that does not work as it stands (anything but "正常").
    static constexpr int FailedRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // A new check of `targets`, none answered yet.
    void setTargets(const QList<linkcheck::Target>& targets);
    void setOutcome(int row, const LinkChecker::Outcome& outcome);
    // The rows' entries left the loaded page.
    void removeTargets(QList<int> rows);
    // The row's entry now has the address it moved to, which answered.
    void setMoved(int row);

    const linkcheck::Target& target(int row) const { return m_rows[row].target; }
    const std::optional<LinkChecker::Outcome>& outcome(int row) const {
        return m_rows[row].outcome;
    }
    int answeredCount() const { return m_answered; }

    static QString resultText(LinkChecker::Result result);

private:
    struct Row {
        linkcheck::Target target;
        std::optional<LinkChecker::Outcome> outcome;
    };
    QList<Row> m_rows;
    int m_answered = 0;
};
