#include "frm_centremedical.h"

#include <QVBoxLayout>

#include <stdexcept>

#include "forms/singleinstance.h"

namespace zonitra {

Frm_CentreMedical::Frm_CentreMedical(QWidget* parent)
    : forms::ModalForm(parent), Ctr_CentreMed1(new Ctr_CentreMed(this)) {
    setObjectName(QStringLiteral("Frm_CentreMedical"));
    setWindowTitle(QStringLiteral("Centre Médical"));
    Ctr_CentreMed1->setObjectName(QStringLiteral("Ctr_CentreMed1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Ctr_CentreMed1);
    resize(Ctr_CentreMed1->sizeHint());
}

Frm_CentreMedical& Frm_CentreMedical::Instance(QWidget* owner) {
    if (!owner) throw std::invalid_argument("Frm_CentreMedical: no window to open it from");
    // Parented to the window, not to the control: a control disabled while the
    // form is open must not disable the form with it.
    static forms::SingleInstance<Frm_CentreMedical> instance;
    QWidget* window = owner->window();
    Frm_CentreMedical& form = instance.Get(window);
    if (form.parentWidget() != window && !form.isVisible()) {
        form.setParent(window, form.windowFlags());
    }
    return form;
}

void Frm_CentreMedical::Form_Unload(std::int16_t& Cancel) {
    if (Ctr_CentreMed1->G_SortirCentreMed == 0) Cancel = -1;
}

}  // namespace zonitra
