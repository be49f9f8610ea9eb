#include "forms/focus.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <list>

#include "focus_private.h"
#include "forms/form.h"
#include "forms/handler.h"
#include "forms/modalform.h"

namespace forms {
namespace {

bool IsIgnored(const QWidget* widget) {
    const QWidget* window = widget->window();
    if (window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip) return true;
    if (qobject_cast<const QMessageBox*>(window)) return true;
    return window->property(detail::kIgnoredWindowProperty).toBool();
}

FocusEvents* EventsOf(QWidget* widget) {
    return dynamic_cast<FocusEvents*>(widget);
}

// Forms holding widget, outermost first.
std::vector<Form*> FormsOf(QWidget* widget) {
    std::vector<Form*> forms;
    for (QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (auto* form = qobject_cast<Form*>(w)) forms.insert(forms.begin(), form);
    }
    return forms;
}

bool Contains(const QWidget* ancestor, const QWidget* widget) {
    return widget && (ancestor == widget || ancestor->isAncestorOf(widget));
}

class FocusTracker : public QObject {
public:
    explicit FocusTracker(QObject* parent) : QObject(parent) {
        connect(qApp, &QApplication::focusChanged, this, &FocusTracker::OnFocusChanged);
    }

    QWidget* Current() const { return last_.data(); }

    // The window's next focus is its first: no holder, nothing owed.
    void Forget(QWidget* window) {
        Window& record = RecordOf(window);
        record.holder = nullptr;
        record.owed = false;
    }

    // form was enabled again: when its window is active and nothing in that window holds the
    // focus (disabling it took the focus away), the control it last held gets it back.
    void Restore(Form* form) {
        QWidget* window = form->window();
        if (!form->isVisible() || !form->isEnabled() || !window->isActiveWindow()) return;
        const QWidget* focus = QApplication::focusWidget();
        if (focus && focus->window() == window) return;
        QWidget* target = LastIn(form);
        if (!target) return;
        // The control lost the focus silently when it was disabled: it takes it anew.
        Forget(window);
        target->setFocus(Qt::OtherFocusReason);
    }

private:
    // Each window keeps the control that holds its focus, as if it were the only window.
    struct Window {
        QPointer<QWidget> window;
        QPointer<QWidget> holder;
        bool owed = false;  // the holder had its GotFocus (or was the first) and owes LostFocus
    };

    Window& RecordOf(QWidget* window) {
        windows_.remove_if([](const Window& w) { return w.window.isNull(); });
        for (Window& record : windows_) {
            if (record.window == window) return record;
        }
        windows_.push_back(Window{window, nullptr, false});
        return windows_.back();
    }

    void OnFocusChanged(QWidget*, QWidget* now) {
        if (!now || IsIgnored(now)) return;
        QPointer<QWidget> target = now;
        QPointer<QWidget> previous = last_;
        last_ = now;
        QWidget* window = now->window();
        Window& record = RecordOf(window);
        QPointer<QWidget> leaving = record.holder;
        const bool owed = record.owed && leaving && leaving != now;
        const bool sameControl = leaving == now;
        record.holder = now;
        if (!sameControl) record.owed = false;
        for (Form* form : FormsOf(now)) Remember(form, now);

        if (owed) {
            if (FocusEvents* events = EventsOf(leaving))
                Raise(leaving, "LostFocus", events->LostFocus);
            if (!StillFocused(target)) return;
        }

        for (Form* form : FormsOf(target)) {
            if (Contains(form, previous)) continue;
            QPointer<Form> guard = form;
            Raise(form, "EnterFocus", form->EnterFocus);
            if (!guard || !StillFocused(target)) return;
        }

        if (sameControl) return;  // back from another window: nothing happened here
        RecordOf(window).owed = true;
        if (FocusEvents* events = EventsOf(target)) Raise(target, "GotFocus", events->GotFocus);
    }

    bool StillFocused(const QPointer<QWidget>& target) const { return target && last_ == target; }

    void Remember(Form* form, QWidget* control) {
        forms_.remove_if([](const FormFocus& f) { return f.form.isNull(); });
        for (FormFocus& f : forms_) {
            if (f.form == form) {
                f.control = control;
                return;
            }
        }
        forms_.push_back(FormFocus{form, control});
    }

    // The control that last held the focus in form when it can take it again, else the first
    // of the form's tab order that can; nothing when the focus was never in form.
    QWidget* LastIn(Form* form) const {
        const auto it = std::find_if(forms_.begin(), forms_.end(),
                                     [form](const FormFocus& f) { return f.form == form; });
        if (it == forms_.end()) return nullptr;
        if (it->control && Contains(form, it->control) && CanTake(it->control)) return it->control;
        for (QWidget* control : form->TabOrder()) {
            if (CanTake(control)) return control;
        }
        return nullptr;
    }

    static bool CanTake(const QWidget* control) {
        return control->isVisible() && control->isEnabled() &&
               control->focusPolicy() != Qt::NoFocus;
    }

    struct FormFocus {
        QPointer<Form> form;
        QPointer<QWidget> control;
    };

    QPointer<QWidget> last_;
    std::list<Window> windows_;
    std::list<FormFocus> forms_;
};

FocusTracker* g_tracker = nullptr;

}  // namespace

FocusEvents::FocusEvents() {
    detail::InstallFocusTracker();
}

FocusEvents::~FocusEvents() = default;

namespace detail {

void InstallFocusTracker() {
    if (g_tracker || !qApp) return;
    g_tracker = new FocusTracker(qApp);
    QObject::connect(g_tracker, &QObject::destroyed, [] { g_tracker = nullptr; });
}

bool FocusRefused(const QWidget* control) {
    if ((control->focusPolicy() & Qt::ClickFocus) != Qt::ClickFocus) return false;
    const QWidget* holder = control->window()->focusWidget();
    return holder && holder != control && !control->isAncestorOf(holder);
}

void MarkFreshlyShown(ModalForm* form) {
    InstallFocusTracker();
    if (g_tracker) g_tracker->Forget(form);
}

void FormEnabled(Form* form) {
    if (g_tracker) g_tracker->Restore(form);
}

}  // namespace detail

bool SetFocus(QWidget* control) {
    if (!control) {
        qWarning("SetFocus: no control");
        return false;
    }
    const QString name = control->objectName();
    if (!control->isVisible() || !control->isEnabled() || control->focusPolicy() == Qt::NoFocus) {
        qWarning("SetFocus: %s cannot take the focus (%s)", qUtf8Printable(name),
                 !control->isVisible()   ? "hidden"
                 : !control->isEnabled() ? "disabled"
                                         : "takes no focus");
        return false;
    }
    control->setFocus(Qt::OtherFocusReason);
    return true;
}

bool CanOperate(const QWidget* widget) {
    if (!widget || !widget->isVisible() || !widget->isEnabled()) return false;
    const QWidget* modal = QApplication::activeModalWidget();
    return !modal || Contains(modal, widget);
}

QWidget* FocusedControl() {
    return g_tracker ? g_tracker->Current() : nullptr;
}

}  // namespace forms
