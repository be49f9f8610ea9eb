#pragma once

#include <QString>

#include <functional>
#include <utility>

class QObject;

namespace forms {

// What went wrong in an event handler.
struct HandlerError {
    QString control;  // object name of the control (class name when it has none)
    QString event;    // "Change", "Click", "Form_Unload"...
    QString message;  // the exception's what(), or a note that its type is unknown
};

using HandlerErrorReporter = std::function<void(const HandlerError&)>;

// Every hook of the forms layer (Change, Click, KeyPress, GotFocus, LostFocus, DropDown,
// MouseDown, EnterFocus, menu entries, Form_Load and Form_Unload) runs through RunHandler.
// An exception thrown by the handler ends that handler at the point of the throw, leaves
// whatever it had already changed (texts, flags, by-reference arguments) as it was, and is
// reported; the code that raised the event then goes on as if the handler had returned.
// Nested events are handlers of their own: when a Change handler sets another box's text
// and that box's Change throws, only the nested Change ends; the outer handler continues
// after the SetText.
//
// Returns false when the handler threw.
bool RunHandler(const QObject* control, const char* event, const std::function<void()>& handler);

// Runs hook (when set) with args through RunHandler. Returns false when it threw.
template <class... Params, class... Args>
bool Raise(const QObject* control, const char* event, const std::function<void(Params...)>& hook,
           Args&&... args) {
    if (!hook) return true;
    return RunHandler(control, event, [&] { hook(std::forward<Args>(args)...); });
}

// The process-wide reporter of handler failures. The default writes one line to stderr and
// shows a critical box through Ui().MsgBox, titled "Message ORVANIS", with the text
// "Erreur inattendue dans <control>.<event> :\r\n<message>". An empty reporter restores the
// default; returns the previous reporter (empty for the default). A reporter that throws is
// noted on stderr and otherwise ignored.
HandlerErrorReporter SetHandlerErrorReporter(HandlerErrorReporter reporter);

// The default reporter, for a replacement that wants to add to it.
void ShowHandlerError(const HandlerError& error);

// The text of the default box for error.
QString HandlerErrorText(const HandlerError& error);

}  // namespace forms
