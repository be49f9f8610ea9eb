#include "dialogs/frm_adresse.h"

#include <QFont>

#include <stdexcept>

#include "forms/button.h"
#include "forms/msgbox.h"
#include "forms/popupmenu.h"
#include "forms/singleinstance.h"
#include "forms/twips.h"
#include "forms/uiservice.h"
#include "help/help_viewer.h"

namespace zonitra {
namespace {

const QString kTitle = QStringLiteral("Message ORVANIS");
constexpr std::int16_t kRightButton = 2;
constexpr const char* kModule = "SECTEUR";

kelmor::DbRecord& CurrentSector(SharedState& state, const char* what) {
    if (!state.records.secteur)
        throw std::logic_error(std::string(what) + ": no sector is shown (no current record)");
    return *state.records.secteur;
}

}  // namespace

Frm_Adresse::Frm_Adresse(QWidget* parent)
    : forms::ModalForm(parent),
      Ctr_Adresse(new Adresse(this)),
      Cmd_Ok(new forms::Button(QStringLiteral("Ok"), this)),
      Cmd_Retour(new forms::Button(QStringLiteral("Retour"), this)),
      Mnu_Aide(new forms::PopupMenu(QStringLiteral("Mnu_Aide"), QStringLiteral("Aide"), this)),
      Mnu_Sommaire(
          Mnu_Aide->AddEntry(QStringLiteral("Mnu_Sommaire"), QStringLiteral("Aide_ORVANIS"))) {
    setObjectName(QStringLiteral("Frm_Adresse"));
    setWindowTitle(QStringLiteral("Adresse de l'association"));
    // The twips layout was drawn for the editor's 8-point interface font.
    QFont formFont = font();
    formFont.setPointSizeF(8);
    formFont.setStretch(QFont::SemiCondensed);
    setFont(formFont);
    setFixedSize(forms::TwipsToPixelsX(5820, this), forms::TwipsToPixelsY(2835, this));

    Ctr_Adresse->setObjectName(QStringLiteral("Ctr_Adresse"));
    Cmd_Ok->setObjectName(QStringLiteral("Cmd_Ok"));
    Cmd_Retour->setObjectName(QStringLiteral("Cmd_Retour"));
    forms::Place(Ctr_Adresse, 0, 0, 5775, 2295);
    forms::Place(Cmd_Ok, 3720, 2400, 975, 375);
    forms::Place(Cmd_Retour, 4800, 2400, 975, 375);
    const int next = Ctr_Adresse->JoinTabOrder(*this, 0);
    SetTabIndex(Cmd_Ok, next);
    SetTabIndex(Cmd_Retour, next + 1);

    Cmd_Ok->Click = [this] { Cmd_Ok_Click(); };
    Cmd_Retour->Click = [this] { Cmd_Retour_Click(); };
    MouseDown = [this](std::int16_t& button, std::int16_t& shift, float x, float y) {
        Form_MouseDown(button, shift, x, y);
    };
    Mnu_Sommaire->Click = [this] { Mnu_Sommaire_Click(); };
}

Frm_Adresse& Frm_Adresse::Instance(QWidget* owner) {
    if (!owner) throw std::invalid_argument("Frm_Adresse: no window to open it from");
    // Parented to the window, not to the control, which the dialog must not
    // follow when it is disabled.
    static forms::SingleInstance<Frm_Adresse> instance;
    QWidget* window = owner->window();
    Frm_Adresse& form = instance.Get(window);
    if (!form.isVisible()) {
        if (form.parentWidget() != window) form.setParent(window, form.windowFlags());
        // Centred on the window it is opened from.
        form.move(window->geometry().center() - form.rect().center());
    }
    return form;
}

void Frm_Adresse::Form_Load() {
    // A dialog loaded anew shows its buttons as drawn, whoever used it last.
    Cmd_Ok->setVisible(true);
}

void Frm_Adresse::SetDroitsUtilisateur(
    const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur) {
    if (!New_DroitsUtilisateur)
        throw std::invalid_argument("Frm_Adresse.DroitsUtilisateur: no rights object given");
    services::ModuleAccess access = New_DroitsUtilisateur->ModuleRights(kModule);
    droits_ = New_DroitsUtilisateur;
    moduleAccess_ = std::move(access);
}

void Frm_Adresse::Init() {
    Appliquer_Droits();
}

void Frm_Adresse::Appliquer_Droits() {
    if (Access().AccessLevel() != services::kLevelModify) Cmd_Ok->setVisible(false);
}

void Frm_Adresse::Cmd_Ok_Click() {
    kelmor::DbRecord& sector = CurrentSector(State(), "Frm_Adresse.Cmd_Ok_Click");
    Ctr_Adresse->AddressSave(kAdresseSecteur, sector);
    sector.DBWrite();
    W_SortirAdresse = kTrue;
    Unload();
}

void Frm_Adresse::Cmd_Retour_Click() {
    kelmor::DbRecord& sector = CurrentSector(State(), "Frm_Adresse.Cmd_Retour_Click");
    if (Ctr_Adresse->AddressModified(kAdresseSecteur, sector) != kTrue) {
        W_SortirAdresse = kTrue;
        Unload();
        return;
    }
    int answer = forms::vbNo;
    if (Access().AccessLevel() == services::kLevelModify) {
        answer = forms::Ui().MsgBox(
            QStringLiteral("Voulez-vous enregistrer les modifications apportées à cet article ?"),
            forms::vbYesNoCancel | forms::vbExclamation, kTitle);
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
    moduleAccess_.reset();
    droits_.reset();
}

void Frm_Adresse::Form_MouseDown(std::int16_t& Button, std::int16_t&, float, float) {
    if (Button != kRightButton) return;
    Mnu_Aide->setEnabled(true);
    Mnu_Sommaire->setEnabled(true);
    Mnu_Aide->Popup();
}

void Frm_Adresse::Mnu_Sommaire_Click() {
    SharedState& state = State();
    help::HelpViewer& viewer = state.Help();
    // The viewer is handed the host objects again at every request.
    viewer.SetClient(state.client);
    viewer.SetDatabase(state.database);
    viewer.ShowTopic(QStringLiteral("SecteurAdresse.htm"), QStringLiteral("S"),
                     QStringLiteral("Adresse des Secteurs"), QString());
}

SharedState& Frm_Adresse::State() const {
    if (!state_) throw std::logic_error("Frm_Adresse: opened without the component's state");
    return *state_;
}

const services::ModuleAccess& Frm_Adresse::Access() const {
    if (!moduleAccess_) throw std::logic_error("Frm_Adresse: DroitsUtilisateur was not set");
    return *moduleAccess_;
}

void OpenFrmAdresse(SharedState& state, const std::shared_ptr<services::DroitsUtilisateur>& droits,
                    QWidget* owner) {
    Frm_Adresse& form = Frm_Adresse::Instance(owner);
    form.Load();
    form.SetSharedState(state);
    form.SetDroitsUtilisateur(droits);
    form.Ctr_Adresse->SetAddressDatabase(state.database);
    form.W_SortirAdresse = kFalse;
    form.Ctr_Adresse->SetAddressFlagB(kTrue);
    form.Ctr_Adresse->SetAddressFlagA(kTrue);
    form.Ctr_Adresse->AddressPrepare();
    kelmor::DbRecord& sector = CurrentSector(state, "Cmd_Adresse_Click");
    // In memory only: the next DBWrite of the record stores it.
    if (sector.Get(kCedexSecteur).empty()) sector.Set(kCedexSecteur, "0");
    form.Ctr_Adresse->AddressLoad(kAdresseSecteur, sector);
    form.Init();
    forms::Ui().ShowModal(form);
}

}  // namespace zonitra
