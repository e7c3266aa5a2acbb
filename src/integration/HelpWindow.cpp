#include "integration/HelpWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("KEEPSAKE EDITOR ヘルプ"));
    // Closing the help only hides it; the editor's end closes it with the editor.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowModality(Qt::NonModal);

    m_contents = new QPushButton(QStringLiteral("目次"), this);
    m_back = new QPushButton(QStringLiteral("戻る"), this);
    m_forward = new QPushButton(QStringLiteral("進む"), this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpText"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_contents);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_contents, &QPushButton::clicked, this,
            [this] { m_browser->setSource(contentsPage()); });
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    resize(640, 600);
}

QUrl HelpWindow::contentsPage() {
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

void HelpWindow::showContents() {
    m_browser->setSource(contentsPage());
    show();
    raise();
    activateWindow();
}
