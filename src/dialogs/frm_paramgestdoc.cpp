#include "dialogs/frm_paramgestdoc.h"

#include <QFont>

#include <stdexcept>

#include "forms/button.h"
#include "forms/focus.h"
#include "forms/label.h"
#include "forms/msgbox.h"
#include "forms/singleinstance.h"
#include "forms/textbox.h"
#include "forms/twips.h"
#include "forms/uiservice.h"

namespace zonitra {
namespace {

const QString kTitle = QStringLiteral("Message ORVANIS");
constexpr int kCancelTryContinueCritical = forms::vbCancelTryContinue | forms::vbCritical;  // 22
constexpr const char* kModule = "SECTEUR";

kelmor::DbRecord& CurrentSector(SharedState& state, const char* what) {
    if (!state.records.secteur)
        throw std::logic_error(std::string(what) + ": no sector is shown (no current record)");
    return *state.records.secteur;
}

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

Frm_ParamGestDoc::Frm_ParamGestDoc(QWidget* parent)
    : forms::ModalForm(parent),
      Etq_CheminRepAide(
          new forms::Label(QStringLiteral("Chemin d'accès aux documents de l' Aidé"), this)),
      Txt_CheminRepAide(new forms::TextBox(this)),
      Etq_CheminRepAidant(
          new forms::Label(QStringLiteral("Chemin d'accès aux documents de l' Aidant"), this)),
      Txt_CheminRepAidant(new forms::TextBox(this)),
      Cmd_Ok(new forms::Button(QStringLiteral("Ok"), this)),
      Cmd_Annuler(new forms::Button(QStringLiteral("Annuler"), this)) {
    setObjectName(QStringLiteral("Frm_ParamGestDoc"));
    setWindowTitle(QStringLiteral("Paramétarge gestion documentaire"));
    // The twips layout was drawn for the editor's 8-point interface font.
    QFont formFont = font();
    formFont.setPointSizeF(8);
    formFont.setStretch(QFont::SemiCondensed);
    setFont(formFont);
    setFixedSize(forms::TwipsToPixelsX(6060, this), forms::TwipsToPixelsY(2160, this));

    const struct {
        QWidget* control;
        const char* name;
        int left, top, width, height;
    } layout[] = {
        {Etq_CheminRepAide, "Etq_CheminRepAide", 120, 120, 5775, 255},
        {Txt_CheminRepAide, "Txt_CheminRepAide", 120, 480, 5775, 285},
        {Etq_CheminRepAidant, "Etq_CheminRepAidant", 120, 840, 5775, 255},
        {Txt_CheminRepAidant, "Txt_CheminRepAidant", 120, 1200, 5775, 285},
        {Cmd_Ok, "Cmd_Ok", 3840, 1680, 975, 375},
        {Cmd_Annuler, "Cmd_Annuler", 4920, 1680, 975, 375},
    };
    int tab = 0;
    for (const auto& c : layout) {
        c.control->setObjectName(QString::fromLatin1(c.name));
        forms::Place(c.control, c.left, c.top, c.width, c.height);
        SetTabIndex(c.control, tab++);  // the labels' numbers take no focus
    }

    Cmd_Ok->Click = [this] { Cmd_Ok_Click(); };
    Cmd_Annuler->Click = [this] { Cmd_Annuler_Click(); };
}

Frm_ParamGestDoc& Frm_ParamGestDoc::Instance(QWidget* owner) {
    if (!owner) throw std::invalid_argument("Frm_ParamGestDoc: no window to open it from");
    // Parented to the window, not to the control, which the dialog must not
    // follow when it is disabled.
    static forms::SingleInstance<Frm_ParamGestDoc> instance;
    QWidget* window = owner->window();
    Frm_ParamGestDoc& form = instance.Get(window);
    if (!form.isVisible()) {
        if (form.parentWidget() != window) form.setParent(window, form.windowFlags());
        // Centred on the window it is opened from.
        form.move(window->geometry().center() - form.rect().center());
    }
    return form;
}

void Frm_ParamGestDoc::Form_Load() {
    // Loaded anew: "Annuler", disabled by equal paths last time, is usable again.
    Cmd_Annuler->setEnabled(true);
}

void Frm_ParamGestDoc::SetDroitsUtilisateur(
    const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur) {
    if (!New_DroitsUtilisateur)
        throw std::invalid_argument("Frm_ParamGestDoc.DroitsUtilisateur: no rights object given");
    services::ModuleAccess access = New_DroitsUtilisateur->ModuleRights(kModule);
    droits_ = New_DroitsUtilisateur;
    moduleAccess_ = std::move(access);
}

void Frm_ParamGestDoc::SetTheClient(ClientObject vNewValue) {
    State().client = std::move(vNewValue);
}

void Frm_ParamGestDoc::SetTheDatabase(std::shared_ptr<kelmor::Database> vNewValue) {
    State().database = std::move(vNewValue);
}

void Frm_ParamGestDoc::Init() {
    forms::UiService& platform = forms::Ui();
    platform.SetPointer(forms::Pointer::Hourglass);
    setEnabled(false);
    W_Modif = kFalse;
    const kelmor::DbRecord& sector = CurrentSector(State(), "Frm_ParamGestDoc.Init");
    Txt_CheminRepAide->SetText(Q(sector.Get(kCheminAide)));
    Txt_CheminRepAidant->SetText(Q(sector.Get(kCheminAidant)));
    platform.DoEvents();
    platform.SetPointer(forms::Pointer::Default);
    setEnabled(true);
}

void Frm_ParamGestDoc::Cmd_Ok_Click() {
    kelmor::DbRecord& sector = CurrentSector(State(), "Frm_ParamGestDoc.Cmd_Ok_Click");
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
    if (sector.Get(kCheminAide) != aide) sector.Set(kCheminAide, aide);
    if (sector.Get(kCheminAidant) != aidant) sector.Set(kCheminAidant, aidant);
    // Written even when neither path changed.
    sector.DBWrite();
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
    // The answer changes nothing.
    forms::Ui().MsgBox(QStringLiteral("les chemins doivent être différents !"),
                       kCancelTryContinueCritical, kTitle);
}

SharedState& Frm_ParamGestDoc::State() const {
    if (!state_) throw std::logic_error("Frm_ParamGestDoc: opened without the component's state");
    return *state_;
}

void OpenFrmParamGestDoc(SharedState& state,
                         const std::shared_ptr<services::DroitsUtilisateur>& droits,
                         QWidget* owner) {
    Frm_ParamGestDoc& form = Frm_ParamGestDoc::Instance(owner);
    form.Load();
    form.SetSharedState(state);
    form.SetDroitsUtilisateur(droits);
    form.W_SortirGestDoc = kFalse;
    form.Init();
    forms::Ui().ShowModal(form);
}

}  // namespace zonitra
