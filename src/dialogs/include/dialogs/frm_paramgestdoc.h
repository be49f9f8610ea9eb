#pragma once
// Frm_ParamGestDoc: the modal dialog that edits the two document folders of
// the sector shown, attributes 22 (the Aidé's) and 23 (the Aidant's) of the
// current sector record. "Ok" ends each path with "\" and stores both only when
// they differ, writing the record even when neither changed; equal paths are
// refused with a message. "Annuler" leaves without writing. Any other way of
// closing is refused with the same message. The paths are free text: no folder
// is opened or checked. The rights it is handed are kept, never consulted.
//
// A failed write is told in French; the dialog stays open showing the paths
// as stored (another workstation's, after a conflict).

#include <cstdint>
#include <memory>

#include "dialogs/sector_dialog.h"

namespace forms {
class Button;
class Label;
class TextBox;
}  // namespace forms

namespace zonitra {

inline constexpr int kCheminAide = 22;
inline constexpr int kCheminAidant = 23;

class Frm_ParamGestDoc : public SectorDialog {
    Q_OBJECT
public:
    explicit Frm_ParamGestDoc(QWidget* parent = nullptr);

    using SectorDialog::SetTheClient;
    using SectorDialog::SetTheDatabase;
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

    forms::Label* const Etq_CheminRepAide;
    forms::TextBox* const Txt_CheminRepAide;
    forms::Label* const Etq_CheminRepAidant;
    forms::TextBox* const Txt_CheminRepAidant;
    forms::Button* const Cmd_Ok;
    forms::Button* const Cmd_Annuler;
};

// Cmd_GestionDocumentaire_Click of the sector editor: loads the dialog, hands
// it the rights, clears W_SortirGestDoc, fills it, shows it modally over
// owner's window and returns once it is closed. Throws std::logic_error,
// before loading anything, when no sector is shown.
void OpenFrmParamGestDoc(SharedState& state,
                         const std::shared_ptr<services::DroitsUtilisateur>& droits,
                         QWidget* owner);

}  // namespace zonitra
