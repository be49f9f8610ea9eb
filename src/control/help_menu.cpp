// The help entry: a right click on the control's background or on one of its
// three frames opens the "Aide" pop-up; its one entry shows the editor's page.
// Other controls handle no press of their own, so they open nothing.

#include "control/help_topic.h"
#include "control/secteur_editor.h"

namespace zonitra {
namespace {

constexpr std::int16_t kRightButton = 2;

}  // namespace

void SecteurEditor::ConnectHelpMenu() {
    MouseDown = [this](std::int16_t& button, std::int16_t& shift, float x, float y) {
        UserControl_MouseDown(button, shift, x, y);
    };
    ui_.Cdr_Secteur->MouseDown = [this](std::int16_t& button, std::int16_t& shift, float x,
                                        float y) { Cdr_Secteur_MouseDown(button, shift, x, y); };
    ui_.Cdr_SousSecteur->MouseDown = [this](std::int16_t& button, std::int16_t& shift, float x,
                                            float y) {
        Cdr_SousSecteur_MouseDown(button, shift, x, y);
    };
    ui_.Cdr_Quartier->MouseDown = [this](std::int16_t& button, std::int16_t& shift, float x,
                                         float y) { Cdr_Quartier_MouseDown(button, shift, x, y); };
    ui_.Mnu_Sommaire->Click = [this] { Mnu_Sommaire_Click(); };
}

void SecteurEditor::UserControl_MouseDown(std::int16_t& Button, std::int16_t&, float, float) {
    PopupHelpMenu(Button);
}

void SecteurEditor::Cdr_Secteur_MouseDown(std::int16_t& Button, std::int16_t&, float, float) {
    PopupHelpMenu(Button);
}

void SecteurEditor::Cdr_SousSecteur_MouseDown(std::int16_t& Button, std::int16_t&, float, float) {
    PopupHelpMenu(Button);
}

void SecteurEditor::Cdr_Quartier_MouseDown(std::int16_t& Button, std::int16_t&, float, float) {
    PopupHelpMenu(Button);
}

void SecteurEditor::PopupHelpMenu(std::int16_t button) {
    if (button != kRightButton) return;
    ui_.Mnu_Aide->setEnabled(true);
    ui_.Mnu_Sommaire->setEnabled(true);
    ui_.Mnu_Aide->Popup();
}

void SecteurEditor::Mnu_Sommaire_Click() {
    ShowHelpTopic(*state_, QString::fromUtf8(kSecteurHelpPage),
                  QString::fromUtf8(kSecteurHelpLetter), QString::fromUtf8(kSecteurHelpTitle));
}

}  // namespace zonitra
