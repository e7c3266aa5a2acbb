// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "linkcheck/LinkCheckWindow.h"

#include "app/KeepsakeEditor.h"
#include "linkcheck/LinkChecker.h"
#include "linkcheck/LinkResults.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Only the addresses that failed, while "失敗のみ表示" is checked.
class FailedOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setOn(bool on) {
        m_on = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        return !m_on || sourceModel()->index(row, 0, parent).data(LinkResults::FailedRole).toBool();
    }

private:
    bool m_on = false;
};

}  // namespace

LinkCheckWindow::LinkCheckWindow(KeepsakeEditor& editor, QWidget* owner)
    : QWidget(owner, Qt::Window), m_editor(editor) {
    setObjectName(QStringLiteral("LinkCheckWindow"));
    setWindowTitle(QStringLiteral("KEEPSAKE EDITOR リンク検査"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowModality(Qt::NonModal);

    m_checker = new LinkChecker(this);
    m_results = new LinkResults(this);
    m_shown = new FailedOnly(this);
    m_shown->setSourceModel(m_results);

    cmdCheckPage = new QPushButton(QStringLiteral("表示中のカテゴリを検査(&P)"), this);
    cmdCheckPage->setObjectName(QStringLiteral("cmdCheckPage"));
    cmdCheckAll = new QPushButton(QStringLiteral("全カテゴリを検査(&A)…"), this);
    cmdCheckAll->setObjectName(QStringLiteral("cmdCheckAll"));
    chkFailedOnly = new QCheckBox(QStringLiteral("失敗のみ表示(&F)"), this);
    chkFailedOnly->setObjectName(QStringLiteral("chkFailedOnly"));
    grdLinks = new QTableView(this);
    grdLinks->setObjectName(QStringLiteral("grdLinks"));
    grdLinks->setModel(m_shown);
    grdLinks->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdLinks->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdLinks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdLinks->setWordWrap(false);
    grdLinks->verticalHeader()->hide();
    grdLinks->verticalHeader()->setDefaultSectionSize(grdLinks->fontMetrics().height() + 6);
    grdLinks->horizontalHeader()->setStretchLastSection(true);
    grdLinks->setColumnWidth(LinkResults::Comment, 220);
    grdLinks->setColumnWidth(LinkResults::Address, 220);
    grdLinks->setColumnWidth(LinkResults::Category, 110);
    grdLinks->setColumnWidth(LinkResults::Result, 110);
    grdLinks->setColumnWidth(LinkResults::Status, 50);
    prgLinks = new QProgressBar(this);
    prgLinks->setObjectName(QStringLiteral("prgLinks"));
    prgLinks->setRange(0, 1);
    prgLinks->setValue(0);
    lblLinkState = new QLabel(this);
    lblLinkState->setObjectName(QStringLiteral("lblLinkState"));
    cmdLinkCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdLinkCancel->setObjectName(QStringLiteral("cmdLinkCancel"));
    cmdLinkDelete = new QPushButton(QStringLiteral("削除(&D)"), this);
    cmdLinkDelete->setObjectName(QStringLiteral("cmdLinkDelete"));
    cmdLinkMove = new QPushButton(QStringLiteral("移転先に更新(&U)"), this);
    cmdLinkMove->setObjectName(QStringLiteral("cmdLinkMove"));

    auto* top = new QHBoxLayout;
    top->addWidget(cmdCheckPage);
    top->addWidget(cmdCheckAll);
    top->addStretch();
    top->addWidget(chkFailedOnly);
    auto* progress = new QHBoxLayout;
    progress->addWidget(prgLinks, 1);
    progress->addWidget(lblLinkState);
    progress->addWidget(cmdLinkCancel);
    auto* actions = new QHBoxLayout;
    actions->addWidget(cmdLinkDelete);
    actions->addWidget(cmdLinkMove);
    actions->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grdLinks);
    layout->addLayout(progress);
    layout->addLayout(actions);

    connect(cmdCheckPage, &QPushButton::clicked, this, [this] { checkLoadedPage(); });
    connect(cmdCheckAll, &QPushButton::clicked, this, [this] { checkCollection(); });
    connect(cmdLinkCancel, &QPushButton::clicked, this, [this] { cancel(); });
    connect(cmdLinkDelete, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(cmdLinkMove, &QPushButton::clicked, this, [this] { moveSelected(); });
    connect(chkFailedOnly, &QCheckBox::toggled, this,
            [this](bool on) { static_cast<FailedOnly*>(m_shown)->setOn(on); });
    connect(grdLinks, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { activate(m_shown->mapToSource(index).row()); });
    connect(grdLinks->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { showActions(); });
    connect(m_checker, &LinkChecker::checked, this,
            [this](int id, const LinkChecker::Outcome& outcome) {
                m_results->setOutcome(id, outcome);
                showState();
            });
    connect(m_checker, &LinkChecker::finished, this, [this] { showState(); });
    // What the actions may touch changes with the loaded page.
    EntryListModel* sub = &m_editor.lstSub.model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(sub, signal, this, [this] { showActions(); });
    connect(sub, &QAbstractItemModel::modelReset, this, [this] { showActions(); });
    connect(sub, &QAbstractItemModel::dataChanged, this, [this] { showActions(); });

    resize(900, 520);
    showState();
}

void LinkCheckWindow::showWindow() {
    show();
    raise();
    activateWindow();
}

void LinkCheckWindow::checkLoadedPage() {
    if (m_editor.KindPage < 0) {
        m_editor.platform().prompts.information(QStringLiteral("カテゴリが選択されていません。"));
        return;
    }
    m_checker->cancel();
    m_results->setTargets(linkcheck::loadedPage(m_editor));
    run();
}

void LinkCheckWindow::checkCollection() {
    if (!m_editor.Index->pagesBuilt()) {
        m_editor.platform().prompts.information(
            QStringLiteral("索引を作成中です。しばらくしてからもう一度お試しください。"));
        return;
    }
    const QList<linkcheck::Target> targets = linkcheck::wholeCollection(m_editor);
    const PromptAnswer answer = m_editor.platform().prompts.message(
        QStringLiteral("全カテゴリの %1 件のアドレスを検査します。よろしいですか？")
            .arg(targets.size()),
        PromptIcon::Question, PromptButtons::OkCancel, std::nullopt);
    if (answer != PromptAnswer::Ok)
        return;
    m_checker->cancel();
    m_results->setTargets(targets);
    run();
}

void LinkCheckWindow::run() {
    m_cancelled = false;
    QList<QString> addresses;
    addresses.reserve(m_results->rowCount());
    for (int row = 0; row < m_results->rowCount(); ++row)
        addresses.append(m_results->target(row).url);
    m_checker->check(addresses);
    showState();
}

void LinkCheckWindow::cancel() {
    m_checker->cancel();
    m_cancelled = true;
    showState();
}

void LinkCheckWindow::showState() {
    const int total = m_results->rowCount();
    const int done = m_results->answeredCount();
    prgLinks->setRange(0, std::max(total, 1));
    prgLinks->setValue(done);
    const bool running = m_checker->isRunning();
    QString state = QStringLiteral("%1 / %2 件").arg(done).arg(total);
    if (running)
        state += QStringLiteral("　検査中…");
    else if (m_cancelled)
        state += QStringLiteral("　中止しました");
    else if (total > 0)
        state += QStringLiteral("　終了");
    lblLinkState->setText(state);
    cmdLinkCancel->setEnabled(running);
    showActions();
}

QList<int> LinkCheckWindow::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : grdLinks->selectionModel()->selectedRows())
        rows.append(m_shown->mapToSource(index).row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void LinkCheckWindow::showActions() {
    const QList<int> rows = selectedRows();
    QList<linkcheck::Target> targets;
    bool anyMoved = false;
    for (const int row : rows) {
        targets.append(m_results->target(row));
        const auto& outcome = m_results->outcome(row);
        anyMoved = anyMoved || (outcome && outcome->result == LinkChecker::Result::Moved);
    }
    const bool onPage = !rows.isEmpty() && !linkcheck::loadedRows(m_editor, targets).isEmpty();
    cmdLinkDelete->setEnabled(onPage);
    cmdLinkMove->setEnabled(onPage && anyMoved);
}

void LinkCheckWindow::activate(int row) {
    if (row < 0 || row >= m_results->rowCount() || m_editor.commands().busy())
        return;
    const linkcheck::Target target = m_results->target(row);
    CollectionIndex::Hit hit;
    hit.page = target.page;
    hit.url = target.url;
    hit.com = target.com;
    m_editor.ShowFound(hit);
}

void LinkCheckWindow::removeSelected() {
    const QList<int> rows = selectedRows();
    QList<linkcheck::Target> targets;
    for (const int row : rows)
        targets.append(m_results->target(row));
    if (linkcheck::removeFromPage(m_editor, targets))
        m_results->removeTargets(rows);
    showState();
}

void LinkCheckWindow::moveSelected() {
    QList<int> rows;
    QList<linkcheck::Target> targets;
    QList<QString> to;
    for (const int row : selectedRows()) {
        const auto& outcome = m_results->outcome(row);
        if (outcome && outcome->result == LinkChecker::Result::Moved) {
            rows.append(row);
            targets.append(m_results->target(row));
            to.append(outcome->movedTo);
        }
    }
    if (linkcheck::replaceAddresses(m_editor, targets, to)) {
        for (const int row : rows)
            m_results->setMoved(row);
    }
    showActions();
}
