#include "forms/uiservice.h"

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

namespace forms {
namespace {

UiService* g_service = nullptr;

}  // namespace

UiService::~UiService() {
    if (g_service == this) g_service = nullptr;
}

void UiService::ShowModal(ModalForm& form) {
    if (std::find(modals_.begin(), modals_.end(), &form) != modals_.end() || form.isVisible()) {
        throw std::logic_error("ShowModal: form " + form.objectName().toStdString() +
                               " is already shown");
    }
    form.Load();
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
    if (ModalShown) {
        QTimer::singleShot(0, &loop, [this, guard] {
            if (guard && guard->isVisible() && ModalShown) ModalShown(*guard);
        });
    }
    if (form.isVisible()) loop.exec(QEventLoop::DialogExec);
    modals_.erase(std::find(modals_.begin(), modals_.end(), &form));
    if (guard) QObject::disconnect(connection);
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
