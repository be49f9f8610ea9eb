// Ctr_Secteur as hosts see it: a widget whose one child, the editor's surface,
// fills it and does the work. Every member hands on to that surface.

#include "control/ctr_secteur.h"

#include <QVBoxLayout>
#include <utility>

#include "control/secteur_editor.h"

namespace zonitra {

InitError::InitError(std::string step, std::int32_t number, const std::string& cause)
    : std::runtime_error("Ctr_Secteur.Init: " + step + " failed: " + cause),
      step_(std::move(step)),
      number_(number) {}

Ctr_Secteur::Ctr_Secteur(QWidget* parent) : QWidget(parent), d_(new SecteurEditor(this)) {
    setObjectName(QStringLiteral("Ctr_Secteur"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d_);
    // A host giving the control the focus gives it to the screen.
    setFocusProxy(d_);
    d_->SortirRequested = [this] { emit sortirRequested(); };
    resize(sizeHint());
}

// The surface goes with the widget's children: it ends the editor then.
Ctr_Secteur::~Ctr_Secteur() {
    d_->SortirRequested = nullptr;
}

SecteurEditor& EditorOf(Ctr_Secteur& control) {
    return *control.d_;
}

QSize Ctr_Secteur::sizeHint() const {
    return d_->sizeHint();
}

Boolean16 Ctr_Secteur::G_SortirSecteur() const {
    return d_->G_SortirSecteur();
}
void Ctr_Secteur::SetG_SortirSecteur(Boolean16 value) {
    d_->SetG_SortirSecteur(value);
}
void Ctr_Secteur::SetDroitsUtilisateur(
    const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur) {
    d_->SetDroitsUtilisateur(New_DroitsUtilisateur);
}
void Ctr_Secteur::Init() {
    d_->Init();
}
void Ctr_Secteur::SetTheClient(ClientObject vNewValue) {
    d_->SetTheClient(std::move(vNewValue));
}
void Ctr_Secteur::SetTheDatabase(std::shared_ptr<kelmor::Database> vNewValue) {
    d_->SetTheDatabase(std::move(vNewValue));
}

void Ctr_Secteur::Remplir_Combo_Secteur() {
    d_->Remplir_Combo_Secteur();
}
void Ctr_Secteur::Vider_Secteur() {
    d_->Vider_Secteur();
}
void Ctr_Secteur::Affichage_Secteur() {
    d_->Affichage_Secteur();
}
void Ctr_Secteur::Txt_CodeCentreMedQuartier_Change() {
    d_->Txt_CodeCentreMedQuartier_Change();
}
void Ctr_Secteur::Remplir_Combo_SousSecteur() {
    d_->Remplir_Combo_SousSecteur();
}
void Ctr_Secteur::Remplir_Combo_Quartier() {
    d_->Remplir_Combo_Quartier();
}
void Ctr_Secteur::Affichage_Quartier() {
    d_->Affichage_Quartier();
}
void Ctr_Secteur::Affichage_SousSecteur() {
    d_->Affichage_SousSecteur();
}
void Ctr_Secteur::Vider_SousSecteur() {
    d_->Vider_SousSecteur();
}
void Ctr_Secteur::Vider_Quartier() {
    d_->Vider_Quartier();
}
void Ctr_Secteur::Remplir_Combo_CentreMedical() {
    d_->Remplir_Combo_CentreMedical();
}
void Ctr_Secteur::Remplir_Combo_AntenneMedicale() {
    d_->Remplir_Combo_AntenneMedicale();
}
void Ctr_Secteur::Creation_Secteur() {
    d_->Creation_Secteur();
}
void Ctr_Secteur::Creation_SousSecteur() {
    d_->Creation_SousSecteur();
}
void Ctr_Secteur::Creation_Quartier() {
    d_->Creation_Quartier();
}

void Ctr_Secteur::Cacher_Secteur() {
    d_->Cacher_Secteur();
}
void Ctr_Secteur::Cacher_SousSecteur() {
    d_->Cacher_SousSecteur();
}
void Ctr_Secteur::Cacher_Quartier() {
    d_->Cacher_Quartier();
}
void Ctr_Secteur::Voir_Secteur() {
    d_->Voir_Secteur();
}
void Ctr_Secteur::Voir_SousSecteur() {
    d_->Voir_SousSecteur();
}
void Ctr_Secteur::Voir_Quartier() {
    d_->Voir_Quartier();
}
void Ctr_Secteur::Voir_Ok() {
    d_->Voir_Ok();
}
void Ctr_Secteur::Cacher_Ok() {
    d_->Cacher_Ok();
}
void Ctr_Secteur::Cacher_Agrement() {
    d_->Cacher_Agrement();
}
void Ctr_Secteur::Test() {
    d_->Test();
}

void Ctr_Secteur::OfferMedicalCentreEditor(bool offer) {
    d_->OfferMedicalCentreEditor(offer);
}
void Ctr_Secteur::OfferDocumentSettings(bool offer) {
    d_->OfferDocumentSettings(offer);
}

}  // namespace zonitra
