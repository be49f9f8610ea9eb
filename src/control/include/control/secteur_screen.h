#pragma once
// The widgets of Ctr_Secteur, built from the screen model. Each pointer is a
// child of the control (or of one of its frames) named after its control; the
// control owns them all.

#include "forms/button.h"
#include "forms/combobox.h"
#include "forms/form.h"
#include "forms/frame.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/popupmenu.h"
#include "forms/textbox.h"

namespace zonitra {

struct SecteurScreen {
    // Sector frame
    forms::Frame* Cdr_Secteur = nullptr;
    forms::Label* Etq_CodeSecteur = nullptr;
    forms::TextBox* Txt_CodeSecteur = nullptr;
    forms::Button* Cmd_AjouterSecteur = nullptr;
    forms::Label* Etq_LibSecteur = nullptr;
    forms::ComboBox* Cbo_LibSecteur = nullptr;
    forms::Button* Cmd_Adresse = nullptr;
    forms::Label* Etq_NoAgrementSect = nullptr;
    forms::TextBox* Txt_NoAgrementSect = nullptr;
    forms::Label* Etq_DatAgrementSect = nullptr;
    forms::TextBox* Txt_DatAgrementSect = nullptr;
    forms::Label* Etq_NumCRAM = nullptr;
    forms::TextBox* Txt_NumCRAM = nullptr;
    forms::Label* Etq_Dep = nullptr;
    forms::TextBox* Txt_Dep = nullptr;
    // Sub-sector frame
    forms::Frame* Cdr_SousSecteur = nullptr;
    forms::Label* Etq_CodeSousSecteur = nullptr;
    forms::TextBox* Txt_CodeSousSecteur = nullptr;
    forms::Button* Cmd_AjouterSousSecteur = nullptr;
    forms::Label* Etq_LibSousSecteur = nullptr;
    forms::ComboBox* Cbo_LibSousSecteur = nullptr;
    // Neighbourhood frame, with the medical links
    forms::Frame* Cdr_Quartier = nullptr;
    forms::Label* Etq_CodeQuartier = nullptr;
    forms::TextBox* Txt_CodeQuartier = nullptr;
    forms::Button* Cmd_AjouterQuartier = nullptr;
    forms::Label* Etq_LibQuartier = nullptr;
    forms::ComboBox* Cbo_LibQuartier = nullptr;
    forms::Line* Lig_Quartier = nullptr;
    forms::Label* Etq_CentreMedQuartier = nullptr;
    forms::TextBox* Txt_CodeCentreMedQuartier = nullptr;
    forms::ComboBox* Cbo_LibCentreMedQuartier = nullptr;
    forms::Button* Cmd_AjouterCentreMedQuartier = nullptr;
    forms::Label* Etq_AntMedQuartier = nullptr;
    forms::TextBox* Txt_CodeAntMedQuartier = nullptr;
    forms::ComboBox* Cbo_LibAntMedQuartier = nullptr;
    forms::Button* Cmd_AjouterAntMedQuartier = nullptr;
    // Below the frames
    forms::Button* Cmd_Agrement = nullptr;
    forms::Button* Cmd_GestionDocumentaire = nullptr;
    forms::Button* Cmd_OkSecteurGeo = nullptr;
    forms::Button* Cmd_AnnulerSecteurGeo = nullptr;
    forms::Button* Cmd_SortirSecteurGeo = nullptr;
    // Pop-up only
    forms::PopupMenu* Mnu_Aide = nullptr;
    forms::MenuEntry* Mnu_Sommaire = nullptr;
};

// Creates every control of the screen model on `control`: kind, caption,
// container, place, tab order, maximum length, visibility and enabled state.
// Throws std::logic_error naming a control the model and the struct disagree on.
SecteurScreen BuildSecteurScreen(forms::Form& control);

}  // namespace zonitra
