#include "dialogs/frm_agrement.h"

#include <limits>
#include <stdexcept>
#include <string>

#include "control/help_topic.h"
#include "control/messages.h"
#include "control/resume.h"
#include "control/store.h"
#include "dialogs/approvals.h"
#include "forms/button.h"
#include "forms/combobox.h"
#include "forms/focus.h"
#include "forms/label.h"
#include "forms/msgbox.h"
#include "forms/textbox.h"
#include "forms/uiservice.h"
#include "services/date_service.h"

namespace zonitra {
namespace {

constexpr int kCodeLength = 3;
constexpr int kNumberMaxTyped = 12;
// A longer number (set from a record edited by other means) is refused by "Ok".
constexpr int kNumberLimit = 13;
constexpr const char* kAssociationFile = "ASSOCIATION";
constexpr int kLibelle = 1;

const QString kEntiteInconnue = QStringLiteral("Cette entité juridique n'existe pas.");
const QString kDateErronee =
    QStringLiteral("Erreur de saisie dans la date, veuillez la ressaisir.");
const QString kDateObligatoire = QStringLiteral("La date d'agrément est obligatoire.");
const QString kNumeroInvalide = QStringLiteral("Le numéro d'enregistrement n'est pas valide.");
const QString kEnregistrer =
    QStringLiteral("Voulez-vous enregistrer les modifications apportées à cet agrément ?");
const QString kSupprimer = QStringLiteral("Voulez-vous supprimer cet agrément ?");

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
std::string S(const QString& text) {
    return text.toStdString();
}

bool Storable(std::string_view text) {
    try {
        kelmor::CheckStorable(text, "");
        return true;
    } catch (const kelmor::DelimiterError&) {
        return false;
    }
}

std::int16_t Row16(int row) {
    if (row > std::numeric_limits<std::int16_t>::max())
        throw std::overflow_error("RechDonnees: approval " + std::to_string(row) +
                                  " is beyond the dialog's 16-bit index");
    return static_cast<std::int16_t>(row);
}

}  // namespace

// Positions in twips; the labels' tab numbers take no focus.
Frm_Agrement::Frm_Agrement(QWidget* parent)
    : SectorDialog(parent, "Frm_Agrement", QStringLiteral("Agrément"), 6240, 2520),
      Etq_Asso(Add(new forms::Label(QStringLiteral("Entité juridique"), this), "Etq_Asso", 240, 270,
                   1500, 255, 1)),
      Txt_CodAsso(Add(new forms::TextBox(this), "Txt_CodAsso", 1800, 240, 495, 288, 0)),
      Cbo_Asso(Add(new forms::ComboBox(this), "Cbo_Asso", 2400, 225, 3600, 315, 2)),
      Etq_Date(Add(new forms::Label(QStringLiteral("Date d'agrément"), this), "Etq_Date", 240, 750,
                   1500, 255, 3)),
      Txt_Date(Add(new forms::TextBox(this), "Txt_Date", 1800, 720, 1095, 288, 5)),
      Etq_Num(Add(new forms::Label(QStringLiteral("Numéro d'agrément"), this), "Etq_Num", 240, 1230,
                  1500, 255, 4)),
      Txt_Num(Add(new forms::TextBox(this), "Txt_Num", 1800, 1200, 2175, 288, 6)),
      Cmd_Sup(Add(new forms::Button(QStringLiteral("Supprimer"), this), "Cmd_Sup", 3240, 1860, 1095,
                  375, 7)),
      Cmd_Annuler(Add(new forms::Button(QStringLiteral("Annuler"), this), "Cmd_Annuler", 1740, 1860,
                      1095, 375, 8)),
      Cmd_Retour(Add(new forms::Button(QStringLiteral("Retour"), this), "Cmd_Retour", 4905, 1860,
                     1095, 375, 9)),
      Cmd_Ok(
          Add(new forms::Button(QStringLiteral("Ok"), this), "Cmd_Ok", 240, 1860, 1095, 375, 10)),
      Menu(*this) {
    Txt_CodAsso->SetMaxLength(kCodeLength);
    Txt_Num->SetMaxLength(kNumberMaxTyped);
    for (forms::Label* label : {Etq_Asso, Etq_Date, Etq_Num}) label->setWordWrap(false);

    Txt_CodAsso->Change = [this] { Txt_CodAsso_Change(); };
    Txt_CodAsso->KeyPress = [this](std::int16_t& k) { Txt_CodAsso_KeyPress(k); };
    Txt_CodAsso->LostFocus = [this] { Txt_CodAsso_LostFocus(); };
    Cbo_Asso->Change = [this] { Cbo_Asso_Change(); };
    Cbo_Asso->Click = [this](int index) { Cbo_Asso_Click(index); };
    Txt_Date->KeyPress = [this](std::int16_t& k) { Txt_Date_KeyPress(k); };
    Txt_Date->LostFocus = [this] { Txt_Date_LostFocus(); };
    Txt_Num->Change = [this] { Txt_Num_Change(); };
    Cmd_Ok->Click = [this] { Cmd_Ok_Click(); };
    Cmd_Annuler->Click = [this] { Cmd_Annuler_Click(); };
    Cmd_Sup->Click = [this] { Cmd_Sup_Click(); };
    Cmd_Retour->Click = [this] { Cmd_Retour_Click(); };
    MouseDown = [this](std::int16_t& button, std::int16_t& shift, float x, float y) {
        Form_MouseDown(button, shift, x, y);
    };
    Menu.Mnu_Sommaire->Click = [this] { Mnu_Sommaire_Click(); };
    Form_Load();
}

Frm_Agrement::~Frm_Agrement() {
    // Children lose the focus as they go: no handler may run on a dying dialog.
    for (forms::TextBox* box : {Txt_CodAsso, Txt_Date, Txt_Num}) {
        box->Change = nullptr;
        box->KeyPress = nullptr;
        box->LostFocus = nullptr;
    }
    Cbo_Asso->Change = nullptr;
    Cbo_Asso->Click = nullptr;
}

void Frm_Agrement::Form_Load() {
    for (forms::TextBox* box : {Txt_CodAsso, Txt_Date, Txt_Num})
        box->Quietly([box] { box->clear(); });
    Cbo_Asso->Clear();
    for (QWidget* control : {static_cast<QWidget*>(Txt_CodAsso), static_cast<QWidget*>(Cbo_Asso),
                             static_cast<QWidget*>(Cmd_Retour)})
        control->setEnabled(true);
    for (QWidget* control : {static_cast<QWidget*>(Txt_Date), static_cast<QWidget*>(Txt_Num),
                             static_cast<QWidget*>(Cmd_Sup), static_cast<QWidget*>(Cmd_Annuler),
                             static_cast<QWidget*>(Cmd_Ok)})
        control->setEnabled(false);
    Cmd_Ok->setVisible(true);
    Cmd_Sup->setVisible(true);
    W_Ind = 0;
    W_Trouv = kFalse;
    W_Modif = kFalse;
}

void Frm_Agrement::Form_Unload(std::int16_t&) {
    W_RequeteAsso.reset();
    W_Params.reset();
    ReleaseRights();
}

void Frm_Agrement::Init() {
    State();
    MayModify();  // the rights were given
    forms::UiService& platform = forms::Ui();
    platform.SetPointer(forms::Pointer::Hourglass);
    setEnabled(false);
    try {
        W_Params.emplace();
        Remplir_CboAsso();
        Appliquer_Droits();
    } catch (...) {
        // The failure reaches the opener; the dialog is not left dead behind it.
        platform.SetPointer(forms::Pointer::Default);
        setEnabled(true);
        throw;
    }
    W_Modif = kFalse;
    platform.DoEvents();
    platform.SetPointer(forms::Pointer::Default);
    setEnabled(true);
}

void Frm_Agrement::Remplir_CboAsso() {
    W_Params->SetText("");
    W_Params->Set(1, "SSELECT ASSOCIATION PAR 1");
    W_Params->Set(2, kAssociationFile);
    W_Params->Set(3, "0 1");
    std::int32_t count = 0;  // the list carries its own count
    W_RequeteAsso = State().Db("Remplir_CboAsso").Query(W_Params->Text(), "", count);
    if (W_RequeteAsso->Get(1).empty()) return;
    for (int r = 1; r <= W_RequeteAsso->DCount(); ++r)
        Cbo_Asso->AddItem(Q(W_RequeteAsso->Get(r, 2)));
}

void Frm_Agrement::Appliquer_Droits() {
    if (MayModify()) return;
    Cmd_Ok->setVisible(false);
    Cmd_Sup->setVisible(false);
}

// ---- Choosing a legal entity ----------------------------------------------------

void Frm_Agrement::Txt_CodAsso_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == 8) return;
    if (KeyAscii == 13) {
        const QString code = Txt_CodAsso->Text();
        // An empty field becomes "000".
        if (code.size() < kCodeLength)
            Txt_CodAsso->SetText(QString(kCodeLength - code.size(), u'0') + code);
    }
    if (KeyAscii < '0' || KeyAscii > '9') KeyAscii = 0;
}

void Frm_Agrement::Txt_CodAsso_LostFocus() {
    const QString code = Txt_CodAsso->Text();
    if (!code.isEmpty() && code.size() < kCodeLength)
        Txt_CodAsso->SetText(QString(kCodeLength - code.size(), u'0') + code);
}

// A code is looked up as soon as it has its three characters. The read is a
// probe: only "no such entity" is told to the operator; any other failure is
// passed over and the dialog goes on as if the entity had been found.
void Frm_Agrement::Txt_CodAsso_Change() {
    ErrorsResumed steps("Txt_CodAsso_Change");
    const QString code = Txt_CodAsso->Text();
    if (code.size() != kCodeLength) {
        steps.Run([&] { Cbo_Asso->SetText({}); });
        Cmd_Retour->setEnabled(true);
        Cmd_Ok->setEnabled(false);
        Cmd_Annuler->setEnabled(false);
        Cmd_Sup->setEnabled(false);
        Txt_Date->setEnabled(false);
        Txt_Num->setEnabled(false);
        return;
    }
    SharedState& s = State();
    s.records.association.reset();
    const std::int32_t error = steps.Probe([&] {
        s.records.association =
            OpenedFile(s.files.association, kAssociationFile).ReadRecord(S(code));
    });
    if (error == kelmor::kNotFound) {
        steps.Run([&] { Message(kEntiteInconnue, forms::vbExclamation); });
        steps.Run([&] { Txt_CodAsso->SetText({}); });
        forms::SetFocus(Txt_CodAsso);
        return;
    }
    forms::UiService& platform = forms::Ui();
    steps.Run([&] { platform.SetPointer(forms::Pointer::Hourglass); });
    setEnabled(false);
    steps.Run([&] {
        if (!s.records.association)
            throw std::logic_error("the ASSOCIATION record " + S(code) + " was not read");
        Cbo_Asso->SetText(Q(s.records.association->Get(kLibelle)));
    });
    Txt_CodAsso->setEnabled(false);
    Cbo_Asso->setEnabled(false);
    Cmd_Retour->setEnabled(false);
    Cmd_Ok->setEnabled(true);
    Cmd_Annuler->setEnabled(true);
    Txt_Date->setEnabled(true);
    Txt_Num->setEnabled(true);
    steps.Run([&] { RechDonnees(); });
    W_Modif = kFalse;  // filling the fields above has set it
    steps.Run([&] { platform.DoEvents(); });
    steps.Run([&] { platform.SetPointer(forms::Pointer::Default); });
    setEnabled(true);
}

void Frm_Agrement::Cbo_Asso_Change() {
    if (Cbo_Asso->Text().isEmpty()) Txt_CodAsso->SetText({});
}

// Entry k is row k + 1 of the list; the code's Change looks the entity up.
void Frm_Agrement::Cbo_Asso_Click(int index) {
    if (!W_RequeteAsso) throw std::logic_error("Cbo_Asso_Click: the entities were not listed");
    Txt_CodAsso->SetText(Q(W_RequeteAsso->Get(index + 1, 1)));
}

// The chosen entity's approval, when the current sector holds one.
void Frm_Agrement::RechDonnees() {
    W_Trouv = kFalse;
    const Approvals approvals(CurrentSector("RechDonnees"));
    const int row = approvals.Find(S(Txt_CodAsso->Text()));
    if (row == 0) return;
    W_Trouv = kTrue;
    W_Ind = Row16(row);
    // A stored date that is not one (bad data from elsewhere) is shown empty
    // and logged; "Ok" then asks for a date rather than writing one.
    QString shown;
    try {
        shown = Q(State().Dates().DateToDisplay(approvals.Date(row)));
    } catch (const services::DateError& error) {
        qWarning("SECTEUR %s: stored approval date \"%s\" cannot be shown (%s); shown empty",
                 CurrentSector("RechDonnees").Key().c_str(), approvals.Date(row).c_str(),
                 error.what());
    }
    Txt_Date->SetText(shown);
    Txt_Num->SetText(Q(approvals.Number(row)));
    Cmd_Sup->setEnabled(true);
}

// ---- Editing -------------------------------------------------------------------

void Frm_Agrement::Txt_Num_Change() {
    W_Modif = kTrue;
}

void Frm_Agrement::Txt_Date_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == 8) return;
    if (KeyAscii == 13 || KeyAscii == 9) CheckDate(false);
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != '/') KeyAscii = 0;
}

void Frm_Agrement::Txt_Date_LostFocus() {
    if (!Txt_Date->Text().isEmpty()) CheckDate(true);
}

// A text that cannot be shaped into a date is emptied without a word; a
// well-shaped impossible date is told, and emptied too when the field is left.
void Frm_Agrement::CheckDate(bool leaving) {
    const services::DateService& dates = State().Dates();
    std::string text = S(Txt_Date->Text());
    std::int16_t flag = kFalse;
    dates.DateNormalise(text, flag);
    Txt_Date->SetText(Q(text));
    if (flag) {
        Txt_Date->SetText({});
        forms::SetFocus(Txt_Date);
        return;
    }
    const std::string stored = dates.DateToStored(S(Txt_Date->Text()));
    if (stored.empty()) {
        Message(kDateErronee, forms::vbExclamation);
        if (leaving) Txt_Date->SetText({});
        forms::SetFocus(Txt_Date);
        return;
    }
    W_Modif = kTrue;
}

void Frm_Agrement::Cmd_Ok_Click() {
    // "Ok" is hidden from them; no other path may save for them either.
    if (!MayModify()) return;
    const QString number = Txt_Num->Text();
    const QString date = Txt_Date->Text();
    const auto refuseNumber = [this] {
        Message(kNumeroInvalide, forms::vbExclamation);
        Txt_Num->SetText({});
        forms::SetFocus(Txt_Num);
    };
    if (!number.isEmpty() && !date.isEmpty() && W_Modif) {
        if (number.size() >= kNumberLimit || !Storable(S(number))) return refuseNumber();
        // The date was checked as its field was left; a date that cannot be
        // stored is refused all the same rather than stored empty.
        if (State().Dates().DateToStored(S(date)).empty()) {
            Message(kDateErronee, forms::vbExclamation);
            Txt_Date->SetText({});
            forms::SetFocus(Txt_Date);
            return;
        }
        if (Save()) {
            DeGriser();
        } else {
            ShowStoredApproval();
        }
    } else if (!number.isEmpty() && !date.isEmpty()) {
        DeGriser();
    } else if (date.isEmpty()) {
        Message(kDateObligatoire, forms::vbExclamation);
        Txt_Date->SetText({});
        forms::SetFocus(Txt_Date);
    } else {
        refuseNumber();
    }
}

void Frm_Agrement::Cmd_Annuler_Click() {
    if (!W_Modif) return DeGriser();
    const int answer = Message(kEnregistrer, forms::vbYesNoCancel | forms::vbExclamation);
    // The question is the same for everyone; the saving path of "Ok" stays
    // closed to a user who may not modify, whose Yes goes back to choosing
    // as No does, nothing written.
    if (answer == forms::vbYes && MayModify()) {
        Cmd_Ok_Click();
    } else {
        DeGriser();
    }
}

void Frm_Agrement::Cmd_Sup_Click() {
    if (!MayModify()) return;
    if (Message(kSupprimer, forms::vbYesNo | forms::vbExclamation) != forms::vbYes) return;
    if (!W_Trouv) return;
    if (Delete()) {
        DeGriser();
    } else {
        ShowStoredApproval();
    }
}

void Frm_Agrement::ShowStoredApproval() {
    Txt_Date->SetText({});
    Txt_Num->SetText({});
    Cmd_Sup->setEnabled(false);
    RechDonnees();
    W_Modif = kFalse;  // filling the fields has set it
}

void Frm_Agrement::DeGriser() {
    Txt_CodAsso->setEnabled(true);
    Cbo_Asso->setEnabled(true);
    Txt_CodAsso->SetText({});
    Txt_Date->SetText({});
    Txt_Num->SetText({});
    Cbo_Asso->SetText({});
    Cmd_Retour->setEnabled(true);
    Cmd_Ok->setEnabled(false);
    Cmd_Annuler->setEnabled(false);
    Cmd_Sup->setEnabled(false);
    Txt_Date->setEnabled(false);
    Txt_Num->setEnabled(false);
}

void Frm_Agrement::Cmd_Retour_Click() {
    Unload();
}

// ---- Writing the sector record ---------------------------------------------------

// In place when the entity has an approval, else after the last one. The
// sector's only approval saved unchanged is not written again.
bool Frm_Agrement::Save() {
    kelmor::DbRecord& sector = CurrentSector("Frm_Agrement.Cmd_Ok_Click");
    const std::string entity = S(Txt_CodAsso->Text());
    const std::string date = State().Dates().DateToStored(S(Txt_Date->Text()));
    const std::string number = S(Txt_Num->Text());
    if (sector.Get(secteur_approvals::kEntity) == entity &&
        sector.Get(secteur_approvals::kDate) == date &&
        sector.Get(secteur_approvals::kNumber) == number)
        return true;
    const int row = W_Trouv ? W_Ind : Approvals(sector).Rows() + 1;
    return StoreRecord(sector, "Frm_Agrement.Cmd_Ok_Click", [&](kelmor::DbRecord& record) {
        Approvals approvals(record);
        approvals.Put(row, entity, date, number);
        approvals.WriteTo(record);
    });
}

// The later approvals move up by one.
bool Frm_Agrement::Delete() {
    kelmor::DbRecord& sector = CurrentSector("Frm_Agrement.Cmd_Sup_Click");
    const int row = W_Ind;
    return StoreRecord(sector, "Frm_Agrement.Cmd_Sup_Click", [row](kelmor::DbRecord& record) {
        Approvals approvals(record);
        approvals.Remove(row);
        approvals.WriteTo(record);
    });
}

// ---- Help ------------------------------------------------------------------------

void Frm_Agrement::Form_MouseDown(std::int16_t& Button, std::int16_t&, float, float) {
    Menu.Popup(Button);
}

void Frm_Agrement::Mnu_Sommaire_Click() {
    ShowHelpTopic(State(), QStringLiteral("SecteurAgrement.htm"), QStringLiteral("S"),
                  QStringLiteral("Agrément par entité"));
}

// ---- Opening ---------------------------------------------------------------------

void OpenFrmAgrement(SharedState& state, const std::shared_ptr<services::DroitsUtilisateur>& droits,
                     QWidget* owner) {
    if (!state.records.secteur)
        throw std::logic_error("Cmd_Agrement_Click: no sector is shown (no current record)");
    OpenedFile(state.files.association, kAssociationFile);
    Frm_Agrement& form = SectorDialog::Instance<Frm_Agrement>(owner);
    form.Load();
    try {
        form.Bind(state);
        form.SetDroitsUtilisateur(droits);
        form.Init();
    } catch (...) {
        // Unloaded, so that the next opening starts from the designer state.
        form.Unload();
        throw;
    }
    forms::Ui().ShowModal(form);
}

}  // namespace zonitra
