#include "forms/modalform.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "forms/handler.h"

namespace forms {

ModalForm::ModalForm(QWidget* parent) : Form(parent, Qt::Dialog) {}

void ModalForm::Load() {
    if (loaded_) return;
    loaded_ = true;
    RunHandler(this, "Form_Load", [this] { Form_Load(); });
}

bool ModalForm::Unload() {
    if (unloading_) return false;
    unloading_ = true;
    std::int16_t cancel = 0;
    // A failing handler leaves cancel as it had set it.
    RunHandler(this, "Form_Unload", [this, &cancel] { Form_Unload(cancel); });
    unloading_ = false;
    if (cancel != 0) return false;
    loaded_ = false;
    hide();
    emit Unloaded();
    return true;
}

void ModalForm::closeEvent(QCloseEvent* event) {
    // The close box unloads like code does, and may be refused by Form_Unload.
    if (!isVisible() || Unload()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void ModalForm::keyPressEvent(QKeyEvent* event) {
    // No default or cancel button: Enter and Escape do nothing here.
    event->accept();
}

}  // namespace forms
