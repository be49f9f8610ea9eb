#include "forms/handler.h"

#include <QObject>

#include <cstdio>
#include <exception>

#include "forms/msgbox.h"
#include "forms/uiservice.h"

namespace forms {
namespace {

HandlerErrorReporter& CustomReporter() {
    static HandlerErrorReporter reporter;
    return reporter;
}

QString NameOf(const QObject* control) {
    if (!control) return QStringLiteral("?");
    if (!control->objectName().isEmpty()) return control->objectName();
    return QString::fromLatin1(control->metaObject()->className());
}

void Note(const HandlerError& error, const char* what) {
    std::fprintf(stderr, "zonitra: %s in %s.%s: %s\n", what, qUtf8Printable(error.control),
                 qUtf8Printable(error.event), qUtf8Printable(error.message));
    std::fflush(stderr);
}

void Report(const HandlerError& error) {
    // A copy: the reporter may replace itself while it runs.
    const HandlerErrorReporter reporter = CustomReporter();
    try {
        if (reporter) {
            reporter(error);
        } else {
            ShowHandlerError(error);
        }
    } catch (const std::exception& e) {
        Note(HandlerError{error.control, error.event, QString::fromLocal8Bit(e.what())},
             "reporting a handler error failed");
    } catch (...) {
        Note(error, "reporting a handler error failed with an exception of unknown type");
    }
}

}  // namespace

bool RunHandler(const QObject* control, const char* event, const std::function<void()>& handler) {
    if (!handler) return true;
    QString message;
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QStringLiteral("exception d'un type inconnu");
    }
    Report(HandlerError{NameOf(control), QString::fromLatin1(event), message});
    return false;
}

HandlerErrorReporter SetHandlerErrorReporter(HandlerErrorReporter reporter) {
    return std::exchange(CustomReporter(), std::move(reporter));
}

QString HandlerErrorText(const HandlerError& error) {
    return QStringLiteral("Erreur inattendue dans %1.%2 :\r\n%3")
        .arg(error.control, error.event, error.message);
}

void ShowHandlerError(const HandlerError& error) {
    Note(error, "unexpected error");
    Ui().MsgBox(HandlerErrorText(error), vbOKOnly + vbCritical, QStringLiteral("Message ORVANIS"));
}

}  // namespace forms
