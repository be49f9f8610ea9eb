#pragma once
// Frm_Agrement: the modal dialog in which the operator keeps the approvals
// that legal entities (ASSOCIATION records) granted to the shown sector: pick
// an entity by its three-digit code or its label, see its approval date and
// number for the sector if it has one, then add or change them ("Ok"), abandon
// the changes ("Annuler"), delete the approval ("Supprimer"), close ("Retour").
//
// It works on the editor's current sector record, which it changes in place
// and stores itself (DBWrite) on "Ok" and "Supprimer"; it never reads the
// sector again itself. A write that fails is told in French and the entity's
// stored approval is shown again (after another workstation's change of the
// approvals, the values that workstation stored). Where the approvals live, and what is shown and
// written when the record's three lists differ in length, is in approvals.h.
//
// Rights: a user whose level on "SECTEUR" is not 2 sees neither "Ok" nor
// "Supprimer", is never asked whether to save on "Annuler", and nothing is
// ever written on their behalf; they may still look every approval up.
//
// Changes: any edit of the number, and leaving the date field (or pressing
// Enter or Tab in it) with a valid date, count as a change ("Ok" then saves,
// "Annuler" asks). Finding an entity moves the focus nowhere (the code field
// that had it is disabled), so "Ok" right after a lookup saves nothing.
//
// Refused input: a date that DateService cannot store, and a number that the
// database cannot store (a NUL pasted in, for instance), get the dialog's own
// messages and are written nowhere; no approval is ever half-written.
//
// Errors: the lookup of an entity runs with its errors resumed (only a missing
// entity is told to the operator); elsewhere failures of the database library
// or of DateService reach the forms layer's handler reporter.

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dialogs/sector_dialog.h"
#include "kelmor/database.h"
#include "kelmor/dynarray.h"

namespace forms {
class Button;
class ComboBox;
class Label;
class TextBox;
}  // namespace forms

namespace zonitra {

class Frm_Agrement : public SectorDialog {
    Q_OBJECT
public:
    explicit Frm_Agrement(QWidget* parent = nullptr);
    ~Frm_Agrement() override;

    using SectorDialog::SetTheClient;
    using SectorDialog::SetTheDatabase;
    // Lists the legal entities and applies the rights, behind the hourglass.
    // Throws std::logic_error when no state is bound or DroitsUtilisateur was
    // not set.
    void Init();

    // --- Dialog state (16-bit Booleans, True = -1) ---
    std::int16_t W_Ind = 0;                           // row of the approval RechDonnees found
    std::int16_t W_Trouv = 0;                         // RechDonnees found one
    std::optional<kelmor::DynArray> W_Params;         // the request array, made by Init
    std::optional<kelmor::ResultList> W_RequeteAsso;  // every legal entity, by label
    std::int16_t W_Modif = 0;  // date or number changed since the entity was found

    // --- Controls, owned by the dialog and named after their control ---
    forms::Label* const Etq_Asso;
    forms::TextBox* const Txt_CodAsso;
    forms::ComboBox* const Cbo_Asso;
    forms::Label* const Etq_Date;
    forms::TextBox* const Txt_Date;
    forms::Label* const Etq_Num;
    forms::TextBox* const Txt_Num;
    forms::Button* const Cmd_Sup;
    forms::Button* const Cmd_Annuler;
    forms::Button* const Cmd_Retour;
    forms::Button* const Cmd_Ok;
    const DialogHelpMenu Menu;  // Mnu_Aide with Mnu_Sommaire

protected:
    // Back to the designer state: a reused instance starts like a new one.
    void Form_Load() override;
    void Form_Unload(std::int16_t& Cancel) override;

private:
    void Remplir_CboAsso();
    void RechDonnees();
    void DeGriser();
    void Appliquer_Droits();
    void CheckDate(bool leaving);
    // Each returns false when the write failed: the operator was told and
    // the sector record holds what is stored.
    bool Save();
    bool Delete();
    // After a failed write: the chosen entity's approval as stored, no change
    // pending, so that "Ok" writes only what the operator types again.
    void ShowStoredApproval();

    void Txt_CodAsso_Change();
    void Txt_CodAsso_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodAsso_LostFocus();
    void Cbo_Asso_Change();
    void Cbo_Asso_Click(int index);
    void Txt_Date_KeyPress(std::int16_t& KeyAscii);
    void Txt_Date_LostFocus();
    void Txt_Num_Change();
    void Cmd_Ok_Click();
    void Cmd_Annuler_Click();
    void Cmd_Sup_Click();
    void Cmd_Retour_Click();
    void Form_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Mnu_Sommaire_Click();
};

// Cmd_Agrement_Click of the sector editor: loads the one dialog, binds it to
// `state`, gives it `droits`, runs Init and shows it modally over owner's
// window; returns once it is closed (the focus then goes back to the editor).
// Throws std::logic_error, before loading anything, when no sector is shown or
// the ASSOCIATION file is not open.
void OpenFrmAgrement(SharedState& state, const std::shared_ptr<services::DroitsUtilisateur>& droits,
                     QWidget* owner);

}  // namespace zonitra
