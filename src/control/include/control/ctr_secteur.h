#pragma once
// Ctr_Secteur: the sector editor a host places on one of its windows.
//
// Calling order: set DroitsUtilisateur, TheClient and TheDatabase, then call
// Init once, then show the host window. Everything runs on the user-interface
// thread.
//
// "Sortir" sets G_SortirSecteur, emits sortirRequested() and closes the host
// window that holds the control (its close handling runs). The host reads
// G_SortirSecteur to tell "Sortir" from any other way the window was closed.
//
// Errors: Init reports the first step that failed as an InitError naming it;
// the steps before it stay done. The public operations trap nothing: a failure
// of the database library reaches the caller as the library raised it.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "control/boolean16.h"
#include "services/client_object.h"

namespace kelmor {
class Database;
}
namespace services {
class DroitsUtilisateur;
}

namespace zonitra {

class SecteurEditor;

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

class Ctr_Secteur : public QWidget {
    Q_OBJECT
public:
    explicit Ctr_Secteur(QWidget* parent = nullptr);
    // The editor ends with it (UserControl_Terminate): every object it holds
    // is released, the host objects included.
    ~Ctr_Secteur() override;

    // --- Host members, in the order of the component's interface ---
    // False until the operator leaves with "Sortir"; never reset by the control.
    Boolean16 G_SortirSecteur() const;
    void SetG_SortirSecteur(Boolean16 value);
    // Holds the object and asks it at once for the rights of "SECTEUR"; an
    // error of the rights library propagates and nothing is replaced then.
    void SetDroitsUtilisateur(
        const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur);
    // Applies the rights, opens the seven files, reads COMPTEUR "999" and
    // fills the sector and medical-centre lists. Throws InitError.
    void Init();
    // Only handed on (help display, medical-centre editor).
    void SetTheClient(ClientObject vNewValue);
    void SetTheDatabase(std::shared_ptr<kelmor::Database> vNewValue);

    // --- Level operations, used by the control itself; a host need not call them ---
    void Remplir_Combo_Secteur();
    void Vider_Secteur();
    // Shows the current sector record; it must be one (std::logic_error).
    void Affichage_Secteur();
    void Txt_CodeCentreMedQuartier_Change();
    void Remplir_Combo_SousSecteur();
    void Remplir_Combo_Quartier();
    void Affichage_Quartier();
    void Affichage_SousSecteur();
    void Vider_SousSecteur();
    void Vider_Quartier();
    void Remplir_Combo_CentreMedical();
    void Remplir_Combo_AntenneMedicale();
    // Store the record(s) being entered under a new code and clear their
    // creation flag; with no code left, say so and leave the creation open.
    void Creation_Secteur();
    void Creation_SousSecteur();
    void Creation_Quartier();

    // --- Screen modes ---
    void Cacher_Secteur();
    void Cacher_SousSecteur();
    void Cacher_Quartier();
    void Voir_Secteur();
    void Voir_SousSecteur();
    void Voir_Quartier();
    void Voir_Ok();
    void Cacher_Ok();
    // Enables "Agrément Entité/Département" only when more than one legal
    // entity exists.
    void Cacher_Agrement();
    // Notes whether the département holds a character other than 0-9.
    void Test();

    // --- Options of the host ---
    // Shows (offer true) or hides the two "Ajouter" buttons of the medical
    // links, which open the medical-centre editor and start hidden. A user
    // whose level on "SECTEUR" is not 2 never sees them. Throws
    // std::logic_error when DroitsUtilisateur was not set yet.
    void OfferMedicalCentreEditor(bool offer);
    // Shows (offer true) or hides "Gestion documentaire", which starts hidden;
    // the control enables it while a sector is shown.
    void OfferDocumentSettings(bool offer);

    // The design size of the screen (7020 x 6480 twips) at the screen's DPI.
    QSize sizeHint() const override;

signals:
    // The operator pressed "Sortir": emitted after G_SortirSecteur is set and
    // before the host window is closed, so that a host whose window shows
    // more than the editor can react first.
    void sortirRequested();

private:
    friend SecteurEditor& EditorOf(Ctr_Secteur& control);
    SecteurEditor* d_;  // a child widget: the screen, the state and the levels
};

}  // namespace zonitra
