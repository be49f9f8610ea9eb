#include "forms/focus.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include "focus_private.h"
#include "forms/form.h"
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
    void MarkFresh(ModalForm* form) { fresh_.insert(form); }

private:
    void OnFocusChanged(QWidget*, QWidget* now) {
        if (!now || IsIgnored(now)) return;
        QWidget* previous = last_.data();
        if (previous == now) return;
        last_ = now;
        const bool sameWindow = previous && previous->window() == now->window();
        // Nothing focused before (or it is gone): the first focus of a window.
        const bool firstFocus = !previous;
        bool freshModal = false;
        if (auto* modal = qobject_cast<ModalForm*>(now->window())) {
            freshModal = fresh_.remove(modal);
        }

        QPointer<QWidget> target = now;
        QPointer<QWidget> leaving = previous;
        // Whoever is left owes a LostFocus only if it is still the holder (a LostFocus
        // handler that moved the focus already settled the account of the widget in between).
        const bool owed = owed_ == previous && previous;
        owed_ = nullptr;
        if (sameWindow && owed && leaving) {
            if (FocusEvents* events = EventsOf(leaving); events && events->LostFocus) {
                events->LostFocus();
            }
            if (!StillFocused(target)) return;
        }

        for (Form* form : FormsOf(target)) {
            if (Contains(form, leaving)) continue;
            QPointer<Form> guard = form;
            if (form->EnterFocus) form->EnterFocus();
            if (!StillFocused(target)) return;
            if (!guard) return;
        }

        owed_ = target;
        if (sameWindow || firstFocus || freshModal) {
            if (FocusEvents* events = EventsOf(target); events && events->GotFocus) {
                events->GotFocus();
            }
        }
    }

    bool StillFocused(const QPointer<QWidget>& target) const { return target && last_ == target; }

    QPointer<QWidget> last_;
    QPointer<QWidget> owed_;
    QSet<ModalForm*> fresh_;
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
    if (g_tracker) g_tracker->MarkFresh(form);
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
