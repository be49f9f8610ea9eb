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
        QWidget* last = Remembered(form);
        if (!last) return;
        // Disabled meanwhile: it keeps its place, as it would have had the form stayed enabled.
        if (Contains(form, last) && last->isVisible() && !last->isEnabled()) {
            Park(form, last);
            return;
        }
        QWidget* target = CanTake(last) && Contains(form, last) ? last : FirstIn(form);
        if (!target) return;
        // The control lost the focus silently when it was disabled: it takes it anew.
        Forget(window);
        target->setFocus(Qt::OtherFocusReason);
    }

    // Code disabled `place`, the control holding the focus of form's window: the focus goes
    // to form itself, which raises nothing and takes no key, and Tab goes on from `place`.
    void Park(Form* form, QWidget* place) {
        Window& record = RecordOf(form->window());
        record.holder = form;
        record.owed = false;
        Remember(form, place);
        form->setFocus(Qt::OtherFocusReason);
    }

    // The control that last held the focus in form (the place of a parked focus), if any.
    QWidget* Remembered(const Form* form) const {
        const auto it = std::find_if(forms_.begin(), forms_.end(),
                                     [form](const FormFocus& f) { return f.form == form; });
        return it == forms_.end() ? nullptr : it->control.data();
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

    void OnFocusChanged(QWidget* old, QWidget* now) {
        if (!now) return ParkIfDisabled(old);
        if (IsIgnored(now)) return;
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
        for (Form* form : FormsOf(now)) {
            if (form != now) Remember(form, now);  // a parked focus keeps its place
        }

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

    // The first of form's tab order that can take the focus.
    static QWidget* FirstIn(const Form* form) {
        for (QWidget* control : form->TabOrder()) {
            if (CanTake(control)) return control;
        }
        return nullptr;
    }

    // Qt takes the focus from a control silently when its frame (any container but its Form)
    // is disabled: the focus is parked as when the control itself is disabled.
    void ParkIfDisabled(QWidget* old) {
        if (!old || IsIgnored(old) || old->isEnabled()) return;
        std::vector<Form*> forms = FormsOf(old);
        for (auto form = forms.rbegin(); form != forms.rend(); ++form) {
            for (QWidget* w = old; w && w != *form; w = w->parentWidget()) {
                if ((*form)->TabIndex(w) < 0) continue;
                // A disabled Form loses the focus silently and gives it back when enabled.
                if ((*form)->isEnabled() && (*form)->isVisible()) Park(*form, w);
                return;
            }
        }
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

void Park(Form* form, QWidget* place) {
    InstallFocusTracker();
    if (g_tracker) g_tracker->Park(form, place);
}

QWidget* ParkedPlace(const Form* form) {
    return g_tracker ? g_tracker->Remembered(form) : nullptr;
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
