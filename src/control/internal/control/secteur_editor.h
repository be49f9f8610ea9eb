#pragma once
// The inside of Ctr_Secteur, for the code built with the control (its files,
// the programs and tests that drive it); hosts see only control/ctr_secteur.h.
//
// SecteurEditor is the control's surface: a form filling Ctr_Secteur that
// builds the screen, holds the host objects and the component-wide state, runs
// Init, the help menu and the buttons below the frames, and hands every level
// operation to the level that owns it (levels/).

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "control/ctr_secteur.h"
#include "control/host_rights.h"
#include "control/screen_modes.h"
#include "control/secteur_screen.h"
#include "control/shared_state.h"
#include "forms/form.h"
#include "levels/medical_links.h"
#include "levels/neighbourhood_level.h"
#include "levels/sector_level.h"
#include "levels/sub_sector_level.h"
#include "services/droits.h"

namespace zonitra {

// Help topic of the editor's screen.
inline constexpr const char* kSecteurHelpPage = "Secteur.htm";
inline constexpr const char* kSecteurHelpLetter = "P";
inline constexpr const char* kSecteurHelpTitle = "Les Secteurs";

class SecteurEditor : public forms::Form {
    Q_OBJECT
public:
    explicit SecteurEditor(QWidget* parent = nullptr);
    // Runs UserControl_Terminate.
    ~SecteurEditor() override;

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

    // --- Level operations, each run by its level ---
    // The lookups they start through the code fields' Change handlers are part
    // of them.
    void Remplir_Combo_Secteur() { secteur_.Remplir_Combo_Secteur(); }
    void Vider_Secteur() { secteur_.Vider_Secteur(); }
    // Shows the current sector record; it must be one (std::logic_error).
    void Affichage_Secteur() { secteur_.Affichage_Secteur(); }
    void Remplir_Combo_SousSecteur() { sousSecteur_.Remplir_Combo_SousSecteur(); }
    void Vider_SousSecteur() { sousSecteur_.Vider_SousSecteur(); }
    void Affichage_SousSecteur() { sousSecteur_.Affichage_SousSecteur(); }
    void Remplir_Combo_Quartier() { quartier_.Remplir_Combo_Quartier(); }
    void Vider_Quartier() { quartier_.Vider_Quartier(); }
    // Shows the current neighbourhood with its links; stops at the first step
    // that fails (a missing centre or antenna), raising that failure.
    void Affichage_Quartier() { quartier_.Affichage_Quartier(); }
    void Remplir_Combo_CentreMedical() { liens_.Remplir_Combo_CentreMedical(); }
    void Remplir_Combo_AntenneMedicale() { liens_.Remplir_Combo_AntenneMedicale(); }
    // The centre code's Change handler, also a member of the interface.
    void Txt_CodeCentreMedQuartier_Change() { liens_.Txt_CodeCentreMedQuartier_Change(); }
    // Store the record(s) being entered under a new code and clear their
    // creation flag; with no code left, say so and leave the creation open.
    void Creation_Secteur() { secteur_.Creation_Secteur(); }
    void Creation_SousSecteur() { sousSecteur_.Creation_SousSecteur(); }
    void Creation_Quartier() { quartier_.Creation_Quartier(); }

    // --- Screen modes ---
    void Cacher_Secteur() { modes_.Cacher_Secteur(); }
    void Cacher_SousSecteur() { modes_.Cacher_SousSecteur(); }
    void Cacher_Quartier() { modes_.Cacher_Quartier(); }
    void Voir_Secteur() { modes_.Voir_Secteur(); }
    void Voir_SousSecteur() { modes_.Voir_SousSecteur(); }
    void Voir_Quartier() { modes_.Voir_Quartier(); }
    void Voir_Ok() { modes_.Voir_Ok(); }
    void Cacher_Ok() { modes_.Cacher_Ok(); }
    // Enables Cmd_Agrement only when more than one legal entity exists.
    void Cacher_Agrement() { modes_.Cacher_Agrement(); }
    // Sets W_DepNonNumerique when Txt_Dep holds a character other than 0-9.
    void Test() { modes_.Test(); }

    // --- For the dialogs, the host and tests ---
    // The component-wide state, shared with the dialogs.
    SharedState& State() { return *state_; }
    const std::shared_ptr<SharedState>& SharedStatePtr() const { return state_; }
    const SecteurScreen& Screen() const { return ui_; }
    // The rights of "SECTEUR" obtained from DroitsUtilisateur, if set.
    const std::optional<services::ModuleAccess>& ModuleAccess() const {
        return rights_.moduleAccess;
    }

    // Shows (offer true) or hides the two "Ajouter" buttons of the medical
    // links, which open the medical-centre editor and start hidden. A user
    // whose level on "SECTEUR" is not 2 never sees them. Throws
    // std::logic_error when DroitsUtilisateur was not set yet.
    void OfferMedicalCentreEditor(bool offer);
    // Shows (offer true) or hides "Gestion documentaire", which starts hidden;
    // the screen modes enable it while a sector is shown.
    void OfferDocumentSettings(bool offer);

    // Runs when "Sortir" was pressed, after G_SortirSecteur is set and before
    // the host window closes; it may destroy the control.
    std::function<void()> SortirRequested;

    QSize sizeHint() const override;

private:
    // Life cycle (secteur_editor.cpp)
    static SecteurScreen BuildScreen(SecteurEditor& control);
    void Appliquer_Droits();
    void UserControl_EnterFocus();
    void UserControl_Terminate();
    void Liberer_Objets();
    // Removes every hook from the fields, so that no level runs on a control
    // being destroyed (its children lose the focus after it).
    void DisconnectLevels();

    // Help menu (help_menu.cpp)
    void ConnectHelpMenu();
    void UserControl_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Cdr_Secteur_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Cdr_SousSecteur_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Cdr_Quartier_MouseDown(std::int16_t& Button, std::int16_t& Shift, float X, float Y);
    void Mnu_Sommaire_Click();
    void PopupHelpMenu(std::int16_t button);

    // The buttons below the frames that end an edit or leave the editor
    // (confirm_buttons.cpp)
    void ConnectConfirmButtons();
    void Cmd_OkSecteurGeo_Click();
    void Cmd_AnnulerSecteurGeo_Click();
    void Cmd_SortirSecteurGeo_Click();
    bool LabelsGiven();
    bool Created(void (SecteurEditor::*creation)(), const Boolean16& flag);

    // The buttons that open the dialogs working on the shown sector
    // (sector_dialogs.cpp)
    void ConnectSectorDialogs();
    void Cmd_Agrement_Click();
    void Cmd_Adresse_Click();
    void Cmd_GestionDocumentaire_Click();

    // Declared in the order they are built: the levels connect their handlers
    // to the screen's widgets as they are constructed. The neighbourhood and
    // its links refer to each other: each is handed the other before both are
    // built, and neither calls the other until an event runs.
    std::shared_ptr<SharedState> state_;
    HostRights rights_;
    SecteurScreen ui_;
    ScreenModes modes_;
    levels::NeighbourhoodLevel quartier_;
    levels::MedicalLinks liens_;
    levels::SubSectorLevel sousSecteur_;
    levels::SectorLevel secteur_;
};

// The surface of a Ctr_Secteur.
SecteurEditor& EditorOf(Ctr_Secteur& control);

}  // namespace zonitra
