#pragma once
// Frm_CentreMedical: the modal form that hosts the medical-centre editor,
// opened by the two "Ajouter" buttons of the medical links. It will not close
// (by code or by its close box) until the editor has set its exit flag.

#include <cstdint>

#include "centremed/ctr_centremed.h"
#include "forms/modalform.h"

namespace zonitra {

class Frm_CentreMedical : public forms::ModalForm {
    Q_OBJECT
public:
    explicit Frm_CentreMedical(QWidget* parent = nullptr);

    // The one instance, created on first use as a dialog of owner's window
    // (owner must not be null) and following the window that uses it next.
    static Frm_CentreMedical& Instance(QWidget* owner);

    // The form's only content; owned by the form.
    Ctr_CentreMed* const Ctr_CentreMed1;

protected:
    void Form_Unload(std::int16_t& Cancel) override;
};

}  // namespace zonitra
