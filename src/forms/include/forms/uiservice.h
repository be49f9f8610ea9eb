#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace forms {

class ModalForm;

enum class Pointer { Default, Hourglass };

// The one service behind every message box and every modal display, so that tests and the
// scripted operator answer them while the host shows real windows. Reach it with Ui().
class UiService {
public:
    virtual ~UiService();

    // Shows a message box (see msgbox.h for style values) and returns the answer. An empty
    // title shows the application's name. Throws std::invalid_argument for a bad style.
    virtual int MsgBox(const QString& text, int style = 0, const QString& title = {}) = 0;

    // Loads form if needed, shows it modally and returns once it is unloaded; the events of
    // the application keep running meanwhile (a nested event loop). Throws
    // std::logic_error when form is already shown.
    virtual void ShowModal(ModalForm& form);

    // The innermost modal form shown now, or nullptr.
    ModalForm* ActiveModal() const;

    virtual void SetPointer(Pointer pointer);
    Pointer CurrentPointer() const { return pointer_; }

    // Lets the pending events run once.
    virtual void DoEvents();

    // Runs from the modal form's own event loop once it is shown, so that a script can go on
    // driving the application while the handler that showed the form is suspended.
    std::function<void(ModalForm&)> ModalShown;

private:
    std::vector<ModalForm*> modals_;
    Pointer pointer_ = Pointer::Default;
};

// The process-wide service. Until SetUi is called it is a QtUiService owned by the layer.
UiService& Ui();
// Makes service (not owned; nullptr restores the default) the process-wide service;
// returns the previous one as set (nullptr for the default).
UiService* SetUi(UiService* service);

// Sets a service for a scope and restores the previous one.
class ScopedUi {
public:
    explicit ScopedUi(UiService& service) : previous_(SetUi(&service)) {}
    ~ScopedUi() { SetUi(previous_); }
    ScopedUi(const ScopedUi&) = delete;
    ScopedUi& operator=(const ScopedUi&) = delete;

private:
    UiService* previous_;
};

}  // namespace forms
