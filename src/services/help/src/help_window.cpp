#include "help_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace help {

HelpWindow::HelpWindow(const QString& letter)
    : QWidget(nullptr, Qt::Window | Qt::WindowDoesNotAcceptFocus),
      browser_(new QTextBrowser(this)),
      back_(new QPushButton(QStringLiteral("Précédent"), this)),
      forward_(new QPushButton(QStringLiteral("Suivant"), this)) {
    setObjectName(QStringLiteral("HelpWindow_") + letter);
    browser_->setObjectName(QStringLiteral("Help_Texte"));
    browser_->setOpenExternalLinks(false);
    browser_->setSearchPaths({QStringLiteral(":/help")});
    back_->setObjectName(QStringLiteral("Help_Precedent"));
    forward_->setObjectName(QStringLiteral("Help_Suivant"));
    auto* close = new QPushButton(QStringLiteral("Fermer"), this);
    close->setObjectName(QStringLiteral("Help_Fermer"));
    back_->setEnabled(false);
    forward_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
    // Closing only hides: the viewer reuses its windows.
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // A reading window: nothing in it takes the keyboard focus, so the editor's
    // field keeps it. Were the focus to come here, the operator's return to the
    // editor would count as the focus entering it again, which empties its
    // medical link fields.
    setAttribute(Qt::WA_ShowWithoutActivating);
    for (QWidget* child : findChildren<QWidget*>()) child->setFocusPolicy(Qt::NoFocus);
    resize(640, 560);
}

void HelpWindow::ShowPage(const QString& page, const QString& title, const QString& anchor) {
    QUrl url(QStringLiteral("qrc:/help/") + page);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    browser_->setSource(url);
    setWindowTitle(title);
    show();
    raise();
}

}  // namespace help
