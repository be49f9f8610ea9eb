#include "forms/uiservice.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "focus_private.h"
#include "forms/modalform.h"
#include "forms/qtuiservice.h"
#include "uiservice_private.h"

namespace forms {
namespace {

UiService* g_service = nullptr;

// Runs action once form is active (its focus settled), or after a grace period on platforms
// that never activate it.
class ActivationWatch : public QObject {
public:
    ActivationWatch(QWidget* form, std::function<void()> action) : action_(std::move(action)) {
        form->installEventFilter(this);
        // Always from the event loop: the form's own loop runs the action.
        if (form->isActiveWindow()) QTimer::singleShot(0, this, [this] { Fire(); });
        QTimer::singleShot(kGraceMs, this, [this] { Fire(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate) {
            // Queued, so that the focus the activation brings is in place first.
            QTimer::singleShot(0, this, [this] { Fire(); });
        }
        return false;
    }

private:
    static constexpr int kGraceMs = 500;

    void Fire() {
        if (fired_) return;
        fired_ = true;
        action_();
    }

    std::function<void()> action_;
    bool fired_ = false;
};

}  // namespace

void detail::ReactivateAfterModal(QWidget* opener) {
    // The window under a closed modal window gets the focus back, as window managers do;
    // some platforms (offscreen) leave nothing active otherwise.
    if (!opener || !opener->isVisible()) return;
    // Another modal window still open keeps the focus.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != opener->window()) return;
    opener->activateWindow();
}

UiService::~UiService() {
    if (g_service == this) g_service = nullptr;
}

void UiService::ShowModal(ModalForm& form) {
    if (std::find(modals_.begin(), modals_.end(), &form) != modals_.end() || form.isVisible()) {
        throw std::logic_error("ShowModal: form " + form.objectName().toStdString() +
                               " is already shown");
    }
    form.Load();
    QPointer<QWidget> opener = QApplication::activeWindow();
    QEventLoop loop;
    QPointer<ModalForm> guard = &form;
    const auto connection = QObject::connect(&form, &ModalForm::Unloaded, &loop, &QEventLoop::quit);
    QObject::connect(&form, &QObject::destroyed, &loop, &QEventLoop::quit);
    modals_.push_back(&form);
    detail::MarkFreshlyShown(&form);
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    form.raise();
    form.activateWindow();
    std::unique_ptr<ActivationWatch> watch;
    if (ModalShown) {
        watch = std::make_unique<ActivationWatch>(&form, [this, guard] {
            if (guard && guard->isVisible() && ModalShown) ModalShown(*guard);
        });
    }
    if (form.isVisible()) loop.exec(QEventLoop::DialogExec);
    watch.reset();
    modals_.erase(std::find(modals_.begin(), modals_.end(), &form));
    if (guard) QObject::disconnect(connection);
    detail::ReactivateAfterModal(opener);
}

ModalForm* UiService::ActiveModal() const {
    return modals_.empty() ? nullptr : modals_.back();
}

void UiService::SetPointer(Pointer pointer) {
    pointer_ = pointer;
}

void UiService::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

UiService& Ui() {
    if (g_service) return *g_service;
    static QtUiService fallback;
    return fallback;
}

UiService* SetUi(UiService* service) {
    UiService* previous = g_service;
    g_service = service;
    return previous;
}

}  // namespace forms
