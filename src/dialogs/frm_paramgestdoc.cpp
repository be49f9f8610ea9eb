#include "dialogs/frm_paramgestdoc.h"

#include <stdexcept>

#include "control/messages.h"
#include "control/store.h"
#include "forms/button.h"
#include "forms/focus.h"
#include "forms/label.h"
#include "forms/msgbox.h"
#include "forms/textbox.h"
#include "forms/uiservice.h"

namespace zonitra {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Appends the final "\" a folder path lacks; false when it had to.
bool Complete(forms::TextBox* path) {
    const QString text = path->Text();
    if (text.isEmpty() || text.endsWith(QLatin1Char('\\'))) return true;
    path->SetText(text + QLatin1Char('\\'));
    return false;
}

}  // namespace

// The labels' tab numbers take no focus.
Frm_ParamGestDoc::Frm_ParamGestDoc(QWidget* parent)
    : SectorDialog(parent, "Frm_ParamGestDoc", QStringLiteral("Paramétarge gestion documentaire"),
                   6060, 2160),
      Etq_CheminRepAide(
          Add(new forms::Label(QStringLiteral("Chemin d'accès aux documents de l' Aidé"), this),
              "Etq_CheminRepAide", 120, 120, 5775, 255, 0)),
      Txt_CheminRepAide(Add(new forms::TextBox(this), "Txt_CheminRepAide", 120, 480, 5775, 285, 1)),
      Etq_CheminRepAidant(
          Add(new forms::Label(QStringLiteral("Chemin d'accès aux documents de l' Aidant"), this),
              "Etq_CheminRepAidant", 120, 840, 5775, 255, 2)),
      Txt_CheminRepAidant(
          Add(new forms::TextBox(this), "Txt_CheminRepAidant", 120, 1200, 5775, 285, 3)),
      Cmd_Ok(Add(new forms::Button(QStringLiteral("Ok"), this), "Cmd_Ok", 3840, 1680, 975, 375, 4)),
      Cmd_Annuler(Add(new forms::Button(QStringLiteral("Annuler"), this), "Cmd_Annuler", 4920, 1680,
                      975, 375, 5)) {
    Cmd_Ok->Click = [this] { Cmd_Ok_Click(); };
    Cmd_Annuler->Click = [this] { Cmd_Annuler_Click(); };
}

void Frm_ParamGestDoc::Form_Load() {
    // Loaded anew: "Annuler", disabled by equal paths last time, is usable again.
    Cmd_Annuler->setEnabled(true);
}

void Frm_ParamGestDoc::Init() {
    forms::UiService& platform = forms::Ui();
    platform.SetPointer(forms::Pointer::Hourglass);
    setEnabled(false);
    W_Modif = kFalse;
    const kelmor::DbRecord& sector = CurrentSector("Frm_ParamGestDoc.Init");
    Txt_CheminRepAide->SetText(Q(sector.Get(kCheminAide)));
    Txt_CheminRepAidant->SetText(Q(sector.Get(kCheminAidant)));
    platform.DoEvents();
    platform.SetPointer(forms::Pointer::Default);
    setEnabled(true);
}

void Frm_ParamGestDoc::Cmd_Ok_Click() {
    kelmor::DbRecord& sector = CurrentSector("Frm_ParamGestDoc.Cmd_Ok_Click");
    W_OkAide = kTrue;
    W_OkAidant = kTrue;
    W_Modif = kTrue;
    if (!Complete(Txt_CheminRepAide)) W_OkAide = kFalse;
    if (!Complete(Txt_CheminRepAidant)) W_OkAidant = kFalse;
    Verifier_Chemins();
    if (W_Modif == kFalse) {
        // Equal paths: a completed field shows what is stored again.
        if (W_OkAide == kFalse) Txt_CheminRepAide->SetText(Q(sector.Get(kCheminAide)));
        if (W_OkAidant == kFalse) Txt_CheminRepAidant->SetText(Q(sector.Get(kCheminAidant)));
        W_Modif = kFalse;
        if (W_OkAide != kFalse && W_OkAidant != kFalse) Cmd_Annuler_Click();
        return;
    }
    const std::string aide = Txt_CheminRepAide->Text().toStdString();
    const std::string aidant = Txt_CheminRepAidant->Text().toStdString();
    // Written even when neither path changed.
    const bool stored =
        StoreRecord(sector, "Frm_ParamGestDoc.Cmd_Ok_Click", [&](kelmor::DbRecord& r) {
            if (r.Get(kCheminAide) != aide) r.Set(kCheminAide, aide);
            if (r.Get(kCheminAidant) != aidant) r.Set(kCheminAidant, aidant);
        });
    if (!stored) {
        // The dialog stays open on the paths as stored.
        Txt_CheminRepAide->SetText(Q(sector.Get(kCheminAide)));
        Txt_CheminRepAidant->SetText(Q(sector.Get(kCheminAidant)));
        return;
    }
    W_SortirGestDoc = kTrue;
    Unload();
}

void Frm_ParamGestDoc::Verifier_Chemins() {
    if (W_Modif == kFalse || Txt_CheminRepAide->Text() != Txt_CheminRepAidant->Text()) return;
    CheminsEgaux();
    W_Modif = kFalse;
    Cmd_Annuler->setEnabled(false);
    W_SortirGestDoc = kFalse;
    if (W_OkAide == kFalse) forms::SetFocus(Txt_CheminRepAide);
    if (W_OkAidant == kFalse) forms::SetFocus(Txt_CheminRepAidant);
}

void Frm_ParamGestDoc::Cmd_Annuler_Click() {
    W_SortirGestDoc = kTrue;
    Unload();
}

void Frm_ParamGestDoc::Form_Unload(std::int16_t& Cancel) {
    if (W_SortirGestDoc != kFalse) return;
    CheminsEgaux();
    Cancel = -1;
}

void Frm_ParamGestDoc::CheminsEgaux() {
    // Style 22; the answer changes nothing.
    Message(QStringLiteral("les chemins doivent être différents !"),
            forms::vbCancelTryContinue | forms::vbCritical);
}

void OpenFrmParamGestDoc(SharedState& state,
                         const std::shared_ptr<services::DroitsUtilisateur>& droits,
                         QWidget* owner) {
    if (!state.records.secteur)
        throw std::logic_error(
            "Cmd_GestionDocumentaire_Click: no sector is shown (no current record)");
    Frm_ParamGestDoc& form = SectorDialog::Instance<Frm_ParamGestDoc>(owner);
    form.Load();
    form.Bind(state);
    form.SetDroitsUtilisateur(droits);
    form.W_SortirGestDoc = kFalse;
    form.Init();
    forms::Ui().ShowModal(form);
}

}  // namespace zonitra
