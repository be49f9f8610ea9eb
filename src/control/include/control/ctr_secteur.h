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

    // --- Level operations (the lists filled by Init) ---
    void Remplir_Combo_Secteur();
    void Remplir_Combo_CentreMedical();

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

    // Medical-centre editor (medical_links.cpp)
    void Cmd_AjouterCentreMedQuartier_Click();
    void Cmd_AjouterAntMedQuartier_Click();
    void OpenCentreMedicalEditor();
    void ConnectMedicalCentreEditor();

    std::shared_ptr<SharedState> state_;
    SecteurScreen ui_;
    std::shared_ptr<services::DroitsUtilisateur> droits_;
    std::optional<services::ModuleAccess> moduleAccess_;
};

}  // namespace zonitra
