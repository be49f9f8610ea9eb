#pragma once
// Frm_Adresse: the modal dialog in which the operator edits the postal address
// of the sector shown, held in the current sector record from attribute 5 and
// entered in the address control Ctr_Adresse. "Ok" stores it; "Retour" leaves,
// asking first whether to store a changed address (only a user who may modify
// is asked; anyone else leaves without storing). The dialog will not close, by
// code or by its close box, before "Ok" or "Retour" allowed it.
//
// A failed write ("Ok") is told in French and the dialog stays open on the
// address as stored (another workstation's, after a conflict). A failure of
// the address control ends the handler and leaves the dialog open.

#include <cstdint>
#include <memory>

#include "adresse/adresse.h"
#include "dialogs/sector_dialog.h"

namespace forms {
class Button;
}  // namespace forms

namespace zonitra {

// The sector's address starts at this attribute; the CEDEX one is set to 0
// when empty before the dialog opens.
inline constexpr std::int16_t kAdresseSecteur = 5;
inline constexpr int kCedexSecteur = 12;

class Frm_Adresse : public SectorDialog {
    Q_OBJECT
public:
    explicit Frm_Adresse(QWidget* parent = nullptr);

    // Applies the rights: "Ok" is hidden unless the level is 2.
    void Init();

    // Closing is allowed (True = -1): cleared by the opener, set by "Ok" and
    // "Retour" just before they unload the dialog.
    Boolean16 W_SortirAdresse = kFalse;

    Adresse* const Ctr_Adresse;

    // Shows the address of `sector` as it stands in memory (the CEDEX set to 0
    // when empty, in memory only).
    void LoadStoredAddress(kelmor::DbRecord& sector);

protected:
    void Form_Load() override;
    void Form_Unload(std::int16_t& Cancel) override;

private:
    void Appliquer_Droits();
    void Cmd_Ok_Click();
    void Cmd_Retour_Click();
    void Form_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Mnu_Sommaire_Click();

    forms::Button* const Cmd_Ok;
    forms::Button* const Cmd_Retour;
    const DialogHelpMenu Menu;
};

// Cmd_Adresse_Click of the sector editor: loads the dialog, hands it the
// rights, the database and the current sector record (an empty attribute 12
// becoming 0 there, in memory), then shows it modally over owner's window and
// returns once it is closed. Throws std::logic_error, before loading anything,
// when no sector is shown; any other failure as it is raised, the dialog then
// left unshown.
void OpenFrmAdresse(SharedState& state, const std::shared_ptr<services::DroitsUtilisateur>& droits,
                    QWidget* owner);

}  // namespace zonitra
