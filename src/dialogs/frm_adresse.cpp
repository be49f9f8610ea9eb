#include "dialogs/frm_adresse.h"

#include <stdexcept>

#include "control/help_topic.h"
#include "control/messages.h"
#include "control/store.h"
#include "forms/button.h"
#include "forms/msgbox.h"
#include "forms/uiservice.h"

namespace zonitra {

Frm_Adresse::Frm_Adresse(QWidget* parent)
    : SectorDialog(parent, "Frm_Adresse", QStringLiteral("Adresse de l'association"), 5820, 2835),
      Ctr_Adresse(Add(new Adresse(this), "Ctr_Adresse", 0, 0, 5775, 2295)),
      Cmd_Ok(Add(new forms::Button(QStringLiteral("Ok"), this), "Cmd_Ok", 3720, 2400, 975, 375)),
      Cmd_Retour(Add(new forms::Button(QStringLiteral("Retour"), this), "Cmd_Retour", 4800, 2400,
                     975, 375)),
      Menu(*this) {
    // The address fields first, then the two buttons.
    const int next = Ctr_Adresse->JoinTabOrder(*this, 0);
    SetTabIndex(Cmd_Ok, next);
    SetTabIndex(Cmd_Retour, next + 1);

    Cmd_Ok->Click = [this] { Cmd_Ok_Click(); };
    Cmd_Retour->Click = [this] { Cmd_Retour_Click(); };
    MouseDown = [this](std::int16_t& button, std::int16_t& shift, float x, float y) {
        Form_MouseDown(button, shift, x, y);
    };
    Menu.Mnu_Sommaire->Click = [this] { Mnu_Sommaire_Click(); };
}

void Frm_Adresse::Form_Load() {
    // A dialog loaded anew shows its buttons as drawn, whoever used it last.
    Cmd_Ok->setVisible(true);
}

void Frm_Adresse::Init() {
    Appliquer_Droits();
}

void Frm_Adresse::Appliquer_Droits() {
    if (!MayModify()) Cmd_Ok->setVisible(false);
}

void Frm_Adresse::Cmd_Ok_Click() {
    kelmor::DbRecord& sector = CurrentSector("Frm_Adresse.Cmd_Ok_Click");
    const bool stored =
        StoreRecord(sector, "Frm_Adresse.Cmd_Ok_Click",
                    [this](kelmor::DbRecord& r) { Ctr_Adresse->AddressSave(kAdresseSecteur, r); });
    if (!stored) {
        // The dialog stays open on the address as stored.
        LoadStoredAddress(sector);
        return;
    }
    W_SortirAdresse = kTrue;
    Unload();
}

void Frm_Adresse::LoadStoredAddress(kelmor::DbRecord& sector) {
    // In memory only: the next DBWrite of the record stores it.
    if (sector.Get(kCedexSecteur).empty()) sector.Set(kCedexSecteur, "0");
    Ctr_Adresse->AddressLoad(kAdresseSecteur, sector);
}

void Frm_Adresse::Cmd_Retour_Click() {
    kelmor::DbRecord& sector = CurrentSector("Frm_Adresse.Cmd_Retour_Click");
    if (Ctr_Adresse->AddressModified(kAdresseSecteur, sector) != kTrue) {
        W_SortirAdresse = kTrue;
        Unload();
        return;
    }
    int answer = forms::vbNo;
    if (MayModify()) {
        answer = Message(
            QStringLiteral("Voulez-vous enregistrer les modifications apportées à cet article ?"),
            forms::vbYesNoCancel | forms::vbExclamation);
    }
    if (answer == forms::vbYes) {
        Cmd_Ok_Click();
    } else if (answer == forms::vbNo) {
        W_SortirAdresse = kTrue;
        Unload();
    }
}

void Frm_Adresse::Form_Unload(std::int16_t& Cancel) {
    if (W_SortirAdresse != kTrue) {
        Cancel = -1;
        return;
    }
    ReleaseRights();
}

void Frm_Adresse::Form_MouseDown(std::int16_t& Button, std::int16_t&, float, float) {
    Menu.Popup(Button);
}

void Frm_Adresse::Mnu_Sommaire_Click() {
    ShowHelpTopic(State(), QStringLiteral("SecteurAdresse.htm"), QStringLiteral("S"),
                  QStringLiteral("Adresse des Secteurs"));
}

void OpenFrmAdresse(SharedState& state, const std::shared_ptr<services::DroitsUtilisateur>& droits,
                    QWidget* owner) {
    if (!state.records.secteur)
        throw std::logic_error("Cmd_Adresse_Click: no sector is shown (no current record)");
    Frm_Adresse& form = SectorDialog::Instance<Frm_Adresse>(owner);
    form.Load();
    form.Bind(state);
    form.SetDroitsUtilisateur(droits);
    form.Ctr_Adresse->SetAddressDatabase(state.database);
    form.W_SortirAdresse = kFalse;
    form.Ctr_Adresse->SetAddressFlagB(kTrue);
    form.Ctr_Adresse->SetAddressFlagA(kTrue);
    form.Ctr_Adresse->AddressPrepare();
    form.LoadStoredAddress(*state.records.secteur);
    form.Init();
    forms::Ui().ShowModal(form);
}

}  // namespace zonitra
