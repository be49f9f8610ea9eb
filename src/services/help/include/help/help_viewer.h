#pragma once
// The help display of the sector editor and of its dialogs.
//
// ShowTopic(page, letter, title, extra) shows one of the bundled French pages
// (Pages()) in a help window: letter "P" is the main help window, "S" a
// secondary one, so that a dialog's page can stay open beside the editor's.
// Each window is created on first use, reused afterwards, and owned by the
// viewer (closed and destroyed with it). A non-empty `extra` names an anchor
// of the page to scroll to; the editor always passes "".
// The windows are read with the mouse and never take the keyboard focus: the
// operator's field in the editor keeps it while help is shown.
//
// Errors: an unknown page or window letter throws HelpError naming it; nothing
// is shown or recorded then.
//
// The client and database objects are only held (the editor hands them again
// at every request); the pages are bundled, so the viewer needs neither to
// display them. Every topic shown is kept in Shown() and announced by
// TopicShown, so that tests and the scripted operator can report help requests.

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <vector>

class QTextBrowser;
class QWidget;

namespace kelmor {
class Database;
}

namespace help {

class HelpWindow;

class HelpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Topic {
    QString page;
    QString letter;
    QString title;
    QString extra;
    friend bool operator==(const Topic&, const Topic&) = default;
};

class HelpViewer : public QObject {
    Q_OBJECT
public:
    explicit HelpViewer(QObject* parent = nullptr);
    ~HelpViewer() override;

    // Any shared object converts; the viewer never looks inside it.
    void SetClient(std::shared_ptr<const void> client);
    void SetDatabase(std::shared_ptr<kelmor::Database> database);
    const std::shared_ptr<const void>& Client() const { return client_; }
    const std::shared_ptr<kelmor::Database>& Database() const { return database_; }

    // Throws HelpError for a page that is not bundled or a letter other than
    // "P" or "S".
    void ShowTopic(const QString& page, const QString& letter, const QString& title,
                   const QString& extra);

    // Topics shown so far, oldest first.
    const std::vector<Topic>& Shown() const { return shown_; }
    // The window of a letter, or nullptr before its first use.
    QWidget* Window(const QString& letter) const;
    // Its text browser (object name "Help_Texte"), or nullptr likewise.
    QTextBrowser* Browser(const QString& letter) const;

    // The bundled page names ("Secteur.htm", ...), sorted.
    static QStringList Pages();
    static bool HasPage(const QString& page);

signals:
    void TopicShown(const help::Topic& topic);

private:
    HelpWindow* WindowFor(const QString& letter);

    std::shared_ptr<const void> client_;
    std::shared_ptr<kelmor::Database> database_;
    std::unique_ptr<HelpWindow> main_;
    std::unique_ptr<HelpWindow> secondary_;
    std::vector<Topic> shown_;
};

}  // namespace help
