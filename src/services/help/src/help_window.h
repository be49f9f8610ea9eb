#pragma once
// One help window: the page in a text browser, with history buttons.

#include <QString>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace help {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // `letter` names the window ("HelpWindow_P", "HelpWindow_S").
    explicit HelpWindow(const QString& letter);

    // Shows the bundled page, scrolled to `anchor` when it is not empty.
    void ShowPage(const QString& page, const QString& title, const QString& anchor);
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    QPushButton* back_;
    QPushButton* forward_;
};

}  // namespace help
