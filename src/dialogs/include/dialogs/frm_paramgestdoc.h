#pragma once
// Frm_ParamGestDoc: the modal dialog that edits the two document folders of
// the sector shown, attributes 22 (the Aidé's) and 23 (the Aidant's) of the
// current sector record. "Ok" ends each path with "\" and stores both only when
// they differ, writing the record even when neither changed; equal paths are
// refused with a message. "Annuler" leaves without writing. Any other way of
// closing is refused with the same message. The paths are free text: no folder
// is opened or checked.
//
// One instance for the component, created on first use and loaded anew at
// each opening. It works on the component-wide state the opener hands it,
// which must outlive the dialog's display. A failure of DBWrite ends "Ok" as
// the database library raises it, the dialog left open.

#include <cstdint>
#include <memory>
#include <optional>

#include "control/shared_state.h"
#include "forms/modalform.h"
#include "services/droits.h"

namespace forms {
class Button;
class Label;
class TextBox;
}  // namespace forms

namespace zonitra {

inline constexpr int kCheminAide = 22;
inline constexpr int kCheminAidant = 23;

class Frm_ParamGestDoc : public forms::ModalForm {
    Q_OBJECT
public:
    explicit Frm_ParamGestDoc(QWidget* parent = nullptr);

    // The one instance, a dialog of owner's window (owner must not be null),
    // following the window that uses it next.
    static Frm_ParamGestDoc& Instance(QWidget* owner);

    // The state whose current sector record the dialog edits.
    void SetSharedState(SharedState& state) { state_ = &state; }
    // Kept with the rights of "SECTEUR" it gives; the dialog never consults
    // them. An error of the rights library propagates.
    void SetDroitsUtilisateur(
        const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur);
    // Each stores its object in the component-wide slot.
    void SetTheClient(ClientObject vNewValue);
    void SetTheDatabase(std::shared_ptr<kelmor::Database> vNewValue);
    // Shows the stored paths, behind the hourglass.
    void Init();

    // 16-bit Booleans, True = -1.
    Boolean16 W_Modif = kFalse;          // the paths may be saved (after the checks)
    Boolean16 W_OkAide = kFalse;         // cleared when "Ok" completed the Aidé path
    Boolean16 W_OkAidant = kFalse;       // cleared when "Ok" completed the Aidant path
    Boolean16 W_SortirGestDoc = kFalse;  // closing is allowed

protected:
    void Form_Load() override;
    void Form_Unload(std::int16_t& Cancel) override;

private:
    void Cmd_Ok_Click();
    void Cmd_Annuler_Click();
    void Verifier_Chemins();
    void CheminsEgaux();
    SharedState& State() const;

    SharedState* state_ = nullptr;
    std::shared_ptr<services::DroitsUtilisateur> droits_;
    std::optional<services::ModuleAccess> moduleAccess_;
    forms::Label* Etq_CheminRepAide;
    forms::TextBox* Txt_CheminRepAide;
    forms::Label* Etq_CheminRepAidant;
    forms::TextBox* Txt_CheminRepAidant;
    forms::Button* Cmd_Ok;
    forms::Button* Cmd_Annuler;
};

// What the sector editor's "Gestion documentaire" button does: loads the
// dialog, hands it the rights, clears W_SortirGestDoc, fills it, shows it
// modally and returns once it is closed. Throws std::logic_error when there is
// no current sector record, the dialog then left unshown.
void OpenFrmParamGestDoc(SharedState& state,
                         const std::shared_ptr<services::DroitsUtilisateur>& droits,
                         QWidget* owner);

}  // namespace zonitra
