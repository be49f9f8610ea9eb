#pragma once
// Frm_Agrement: the modal dialog in which the operator keeps the approvals
// that legal entities (ASSOCIATION records) granted to the shown sector: pick
// an entity by its three-digit code or its label, see its approval date and
// number for the sector if it has one, then add or change them ("Ok"), abandon
// the changes ("Annuler"), delete the approval ("Supprimer"), close ("Retour").
//
// Open it with OpenFrmAgrement. It works on the component-wide state it is
// given: the open ASSOCIATION file and, above all, the current sector record,
// which it changes in place and stores itself (DBWrite) on "Ok" and
// "Supprimer"; it never reads the sector again. Where the approvals live, and
// what is shown and written when the record's three lists differ in length,
// is in approvals.h.
//
// Rights: a user whose level on "SECTEUR" is not 2 sees neither "Ok" nor
// "Supprimer", is never asked whether to save on "Annuler", and nothing is
// ever written on their behalf; they may still look every approval up.
//
// Changes: any edit of the number, or a valid date other than the one shown
// when the entity was found, counts as a change ("Ok" writes, "Annuler" asks);
// merely passing through the date field, where the focus waits after a
// lookup, does not.
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

#include "control/shared_state.h"
#include "dialogs/dialog_support.h"
#include "forms/modalform.h"
#include "kelmor/database.h"
#include "kelmor/dynarray.h"
#include "services/client_object.h"
#include "services/droits.h"

namespace forms {
class Button;
class ComboBox;
class Label;
class TextBox;
}  // namespace forms

namespace zonitra {

// Help topic of the dialog.
inline constexpr const char* kAgrementHelpPage = "SecteurAgrement.htm";
inline constexpr const char* kAgrementHelpLetter = "S";
inline constexpr const char* kAgrementHelpTitle = "Agrément par entité";

class Frm_Agrement : public forms::ModalForm {
    Q_OBJECT
public:
    // A dialog not yet bound to any state; OpenFrmAgrement binds it.
    explicit Frm_Agrement(QWidget* parent = nullptr);
    ~Frm_Agrement() override;

    // The one instance of the component, created on first use as a dialog of
    // owner's window (owner must not be null), following the window that opens
    // it next.
    static Frm_Agrement& Instance(QWidget* owner);

    // The component-wide state the dialog works on until it is unloaded.
    void Bind(SharedState& state);

    // --- Public members ---
    // Holds the object and asks it at once for the rights of "SECTEUR"; an
    // error of the rights library propagates and nothing is replaced then.
    void SetDroitsUtilisateur(const std::shared_ptr<services::DroitsUtilisateur>& droits);
    // Replace the component-wide objects (the opener leaves those the host gave).
    void SetTheClient(ClientObject client);
    void SetTheDatabase(std::shared_ptr<kelmor::Database> database);
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
    const dialogs::HelpMenu Menu;  // Mnu_Aide with Mnu_Sommaire

protected:
    // Back to the designer state: a reused instance starts like a new one.
    void Form_Load() override;
    void Form_Unload(std::int16_t& Cancel) override;

private:
    SharedState& State() const;
    bool MayModify() const;

    void Remplir_CboAsso();
    void RechDonnees();
    void DeGriser();
    void Appliquer_Droits();
    void CheckDate(bool leaving);
    void Save();
    void Delete();
    // Stores the sector record; the record in memory is left as it was stored
    // when the write fails.
    void Store(kelmor::DbRecord& sector, const kelmor::DbRecord& before);

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

    SharedState* state_ = nullptr;
    // Stored form of the date RechDonnees showed ("" when none).
    std::string shownDate_;
    std::shared_ptr<services::DroitsUtilisateur> droits_;
    std::optional<services::ModuleAccess> moduleAccess_;
};

// Cmd_Agrement_Click of the sector editor: loads the one dialog, binds it to
// `state`, gives it `droits`, runs Init and shows it modally over owner's
// window; returns once it is closed (the focus then goes back to the editor).
// Throws std::logic_error, before showing anything, when `state` holds no
// current sector record or no open ASSOCIATION file.
void OpenFrmAgrement(SharedState& state, const std::shared_ptr<services::DroitsUtilisateur>& droits,
                     QWidget* owner);

}  // namespace zonitra
