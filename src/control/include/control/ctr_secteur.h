#pragma once
// Ctr_Secteur: the sector editor a host places on one of its windows.
//
// The host sets DroitsUtilisateur, TheClient and TheDatabase, then calls Init
// once before the operator uses the control; G_SortirSecteur tells it that the
// operator left with "Sortir". Everything runs on the user-interface thread.
//
// Errors: Init reports the first step that failed as an InitError naming it;
// the steps before it stay done. The public operations trap nothing: a failure
// of the database library reaches the caller as the library raised it.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "control/secteur_screen.h"
#include "control/shared_state.h"
#include "forms/form.h"
#include "services/droits.h"

namespace zonitra {

// A step of Init failed. number() is the database library's error number when
// the cause was one (kelmor::kNotFound for a missing COMPTEUR "999"), else 0.
class InitError : public std::runtime_error {
public:
    InitError(std::string step, std::int32_t number, const std::string& cause);
    const std::string& step() const noexcept { return step_; }
    std::int32_t number() const noexcept { return number_; }

private:
    std::string step_;
    std::int32_t number_;
};

// Help topic of the editor's screen.
inline constexpr const char* kSecteurHelpPage = "Secteur.htm";
inline constexpr const char* kSecteurHelpLetter = "P";
inline constexpr const char* kSecteurHelpTitle = "Les Secteurs";
inline constexpr const char* kRightsModule = "SECTEUR";

class Ctr_Secteur : public forms::Form {
    Q_OBJECT
public:
    explicit Ctr_Secteur(QWidget* parent = nullptr);
    // Runs UserControl_Terminate.
    ~Ctr_Secteur() override;

    // --- Host members, in the order of the component's interface ---
    Boolean16 G_SortirSecteur() const { return state_->G_SortirSecteur; }
    void SetG_SortirSecteur(Boolean16 value) { state_->G_SortirSecteur = value; }
    // Holds the object and asks it at once for the rights of "SECTEUR"; an
    // error of the rights library propagates and nothing is replaced then.
    void SetDroitsUtilisateur(
        const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur);
    void Init();
    void SetTheClient(ClientObject vNewValue);
    void SetTheDatabase(std::shared_ptr<kelmor::Database> vNewValue);

    // --- Level operations (sector_level.cpp, sub_sector_level.cpp,
    // neighbourhood_level.cpp, medical_links.cpp) ---
    // Each runs on the screen and the component-wide state; the lookups they
    // start through the code fields' Change handlers are part of them.
    void Remplir_Combo_Secteur();
    void Vider_Secteur();
    // Shows the current sector record; it must be one (std::logic_error).
    void Affichage_Secteur();
    void Remplir_Combo_SousSecteur();
    void Vider_SousSecteur();
    void Affichage_SousSecteur();
    void Remplir_Combo_Quartier();
    void Vider_Quartier();
    // Shows the current neighbourhood with its links; stops at the first step
    // that fails (a missing centre or antenna), raising that failure.
    void Affichage_Quartier();
    void Remplir_Combo_CentreMedical();
    void Remplir_Combo_AntenneMedicale();
    // The centre code's Change handler, also a member of the interface.
    void Txt_CodeCentreMedQuartier_Change();

    // --- Screen modes ---
    void Cacher_Secteur();
    void Cacher_SousSecteur();
    void Cacher_Quartier();
    void Voir_Secteur();
    void Voir_SousSecteur();
    void Voir_Quartier();
    void Voir_Ok();
    void Cacher_Ok();
    // Enables Cmd_Agrement only when more than one legal entity exists.
    void Cacher_Agrement();
    // Sets W_DepNonNumerique when Txt_Dep holds a character other than 0-9.
    void Test();

    // --- For the dialogs, the host and tests ---
    // The component-wide state, shared with the dialogs.
    SharedState& State() { return *state_; }
    const std::shared_ptr<SharedState>& SharedStatePtr() const { return state_; }
    const SecteurScreen& Screen() const { return ui_; }
    // The rights of "SECTEUR" obtained from DroitsUtilisateur, if set.
    const std::optional<services::ModuleAccess>& ModuleAccess() const { return moduleAccess_; }

    // Shows (offer true) or hides the two "Ajouter" buttons of the medical
    // links, which open the medical-centre editor and start hidden. A user
    // whose level on "SECTEUR" is not 2 never sees them. Throws
    // std::logic_error when DroitsUtilisateur was not set yet.
    void OfferMedicalCentreEditor(bool offer);
    // Shows (offer true) or hides "Gestion documentaire", which starts hidden;
    // the screen modes enable it while a sector is shown.
    void OfferDocumentSettings(bool offer);

    QSize sizeHint() const override;

private:
    void Appliquer_Droits();
    void UserControl_EnterFocus();
    void UserControl_Terminate();
    void Liberer_Objets();

    // Help menu
    void UserControl_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Cdr_Secteur_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Cdr_SousSecteur_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Cdr_Quartier_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Mnu_Sommaire_Click();
    void PopupHelpMenu(std::int16_t button);
    void ConnectHelpMenu();

    // --- Sector level (sector_level.cpp) ---
    // Removes every level hook from the fields, so that nothing runs on a
    // control being destroyed (its children lose the focus after it).
    void DisconnectLevels();
    void ConnectSectorLevel();
    void Txt_CodeSecteur_Change();
    void Txt_CodeSecteur_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeSecteur_LostFocus();
    void Cbo_LibSecteur_Change();
    void Cbo_LibSecteur_Click(int index);
    void Cbo_LibSecteur_LostFocus();

    // --- Sector attributes (sector_attributes.cpp) ---
    void ConnectSectorAttributes();
    void Txt_NoAgrementSect_LostFocus();
    void Txt_DatAgrementSect_KeyPress(std::int16_t& KeyAscii);
    void Txt_DatAgrementSect_LostFocus();
    void Txt_NumCRAM_LostFocus();
    void Txt_Dep_LostFocus();
    // The département check; false when it refused the value (and said so).
    bool Txt_Dep_Check();

    // --- Sub-sector level (sub_sector_level.cpp) ---
    void ConnectSubSectorLevel();
    void Txt_CodeSousSecteur_Change();
    void Txt_CodeSousSecteur_GotFocus();
    void Txt_CodeSousSecteur_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeSousSecteur_LostFocus();
    void Cbo_LibSousSecteur_Change();
    void Cbo_LibSousSecteur_Click(int index);
    void Cbo_LibSousSecteur_LostFocus();

    // --- Neighbourhood level (neighbourhood_level.cpp) ---
    void ConnectNeighbourhoodLevel();
    void Txt_CodeQuartier_Change();
    void Txt_CodeQuartier_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeQuartier_LostFocus();
    void Cbo_LibQuartier_Change();
    void Cbo_LibQuartier_Click(int index);
    void Cbo_LibQuartier_LostFocus();

    // --- Medical links (medical_links.cpp) ---
    void ConnectMedicalLinks();
    void Txt_CodeCentreMedQuartier_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeCentreMedQuartier_LostFocus();
    void Cbo_LibCentreMedQuartier_Change();
    void Cbo_LibCentreMedQuartier_Click(int index);
    void Txt_CodeAntMedQuartier_Change();
    void Txt_CodeAntMedQuartier_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeAntMedQuartier_LostFocus();
    void Cbo_LibAntMedQuartier_Change();
    void Cbo_LibAntMedQuartier_Click(int index);
    void Cbo_LibAntMedQuartier_DropDown();
    void Cbo_LibAntMedQuartier_LostFocus();
    // True while a sector, sub-sector or neighbourhood is being entered.
    bool EnCreation() const;

    // Medical-centre editor (medical_links.cpp)
    void Cmd_AjouterCentreMedQuartier_Click();
    void Cmd_AjouterAntMedQuartier_Click();
    void OpenCentreMedicalEditor();
    void ConnectMedicalCentreEditor();

    // Leaving the editor (confirm_buttons.cpp)
    void Cmd_SortirSecteurGeo_Click();
    void ConnectConfirmButtons();

    std::shared_ptr<SharedState> state_;
    SecteurScreen ui_;
    std::shared_ptr<services::DroitsUtilisateur> droits_;
    std::optional<services::ModuleAccess> moduleAccess_;
};

}  // namespace zonitra
