// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/SearchWindow.h"

#include "app/KeepsakeEditor.h"
#include "search/SearchResults.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

SearchWindow::SearchWindow(KeepsakeEditor& editor, QWidget* owner)
    : QWidget(owner, Qt::Window), m_editor(editor) {
    setObjectName(QStringLiteral("SearchWindow"));
    setWindowTitle(QStringLiteral("KEEPSAKE EDITOR 検索"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowModality(Qt::NonModal);

    m_results = new SearchResults(*editor.Index, this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setClearButtonEnabled(true);
    txtFind->installEventFilter(this);
    grdFound = new QTableView(this);
    grdFound->setObjectName(QStringLiteral("grdFound"));
    grdFound->setModel(m_results);
    grdFound->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdFound->setSelectionMode(QAbstractItemView::SingleSelection);
    grdFound->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdFound->setWordWrap(false);
    grdFound->verticalHeader()->hide();
    grdFound->verticalHeader()->setDefaultSectionSize(grdFound->fontMetrics().height() + 6);
    grdFound->horizontalHeader()->setStretchLastSection(true);
    grdFound->setColumnWidth(SearchResults::Comment, 260);
    grdFound->setColumnWidth(SearchResults::Address, 260);
    grdFound->setColumnWidth(SearchResults::Category, 120);
    lblFindState = new QLabel(this);
    lblFindState->setObjectName(QStringLiteral("lblFindState"));
    lblFindState->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtFind);
    layout->addWidget(grdFound);
    layout->addWidget(lblFindState);

    connect(txtFind, &QLineEdit::textChanged, this, [this] { refresh(); });
    // Return in the table, or a double click on a row.
    connect(grdFound, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { activate(index.row()); });
    connect(editor.Index, &CollectionIndex::changed, this, [this] {
        if (isVisible())
            refresh();
        else
            showState();
    });
    resize(760, 480);
    showState();
}

void SearchWindow::showFind() {
    show();
    raise();
    activateWindow();
    txtFind->setFocus();
    txtFind->selectAll();
}

void SearchWindow::refresh() {
    m_results->find(txtFind->text());
    if (m_results->rowCount() > 0)
        grdFound->setCurrentIndex(m_results->index(0, 0));
    showState();
}

void SearchWindow::showState() {
    const CollectionIndex& index = *m_editor.Index;
    if (!index.isBuilt()) {
        lblFindState->setText(QStringLiteral("索引を作成中…"));
        return;
    }
    QString state = QStringLiteral("%1 件").arg(m_results->rowCount());
    const QStringList unreadable = index.unreadablePages();
    if (!unreadable.isEmpty()) {
        state += QStringLiteral("　読めなかったページ %1 件: ").arg(unreadable.size()) +
                 unreadable.join(QStringLiteral(", "));
    }
    lblFindState->setText(state);
}

void SearchWindow::activate(int row) {
    const CollectionIndex::Hit* hit = m_results->hit(row);
    if (!hit || m_editor.commands().busy())
        return;
    const CollectionIndex::Hit chosen = *hit;
    m_editor.ShowFound(chosen);
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFind && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const int current = grdFound->currentIndex().row();
            activate(current >= 0 ? current : 0);
            return true;
        }
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) {
            // The arrows choose among the results without leaving the field.
            const int current = grdFound->currentIndex().row();
            const int next = current + (key->key() == Qt::Key_Down ? 1 : -1);
            if (next >= 0 && next < m_results->rowCount())
                grdFound->setCurrentIndex(m_results->index(next, 0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
