#include "control/screen_model.h"

#include <algorithm>

namespace zonitra {
namespace {

using K = ControlKind;
constexpr std::string_view kCtr = "";
constexpr std::string_view kSect = "Cdr_Secteur";
constexpr std::string_view kSous = "Cdr_SousSecteur";
constexpr std::string_view kQuar = "Cdr_Quartier";

// clang-format off
constexpr std::array<ControlDef, kControlCount> kModel{{
    // name                           kind         caption                         in     place                       tab  max  visible enabled
    {"Cdr_Secteur",                   K::Frame,    "Secteur",                      kCtr,  {0, 0, 6975, 2055}},
    {"Etq_CodeSecteur",               K::Label,    "Code",                         kSect, {240, 240, 852, 252}},
    {"Txt_CodeSecteur",               K::TextBox,  "",                             kSect, {1560, 240, 495, 288},      0,   3},
    {"Cmd_AjouterSecteur",            K::Button,   "Ajouter",                      kSect, {5880, 240, 855, 375},      29},
    {"Etq_LibSecteur",                K::Label,    "Libellé",                      kSect, {240, 600, 612, 252}},
    {"Cbo_LibSecteur",                K::ComboBox, "",                             kSect, {1560, 600, 4215, 315},     1},
    {"Cmd_Adresse",                   K::Button,   "Adresse",                      kSect, {5880, 720, 855, 375},      35},
    {"Etq_NoAgrementSect",            K::Label,    "Numéro Agrément",              kSect, {240, 960, 735, 495}},
    {"Txt_NoAgrementSect",            K::TextBox,  "",                             kSect, {1560, 1080, 2175, 288},    2,   25},
    {"Etq_DatAgrementSect",           K::Label,    "Date",                         kSect, {4200, 1080, 375, 255}},
    {"Txt_DatAgrementSect",           K::TextBox,  "",                             kSect, {4800, 1080, 975, 288},     3},
    {"Etq_NumCRAM",                   K::Label,    "Numéro CRAM",                  kSect, {240, 1560, 1065, 195}},
    {"Txt_NumCRAM",                   K::TextBox,  "",                             kSect, {1560, 1560, 3015, 285},    4,   20},
    {"Etq_Dep",                       K::Label,    "Département",                  kSect, {4800, 1560, 915, 195}},
    {"Txt_Dep",                       K::TextBox,  "",                             kSect, {6000, 1560, 495, 285},     5,   2},
    {"Cdr_SousSecteur",               K::Frame,    "Sous-Secteur",                 kCtr,  {0, 2160, 6975, 972}},
    {"Etq_CodeSousSecteur",           K::Label,    "Code",                         kSous, {240, 240, 492, 252}},
    {"Txt_CodeSousSecteur",           K::TextBox,  "",                             kSous, {1560, 240, 375, 288},      6},
    {"Cmd_AjouterSousSecteur",        K::Button,   "Ajouter",                      kSous, {5880, 360, 855, 375},      25},
    {"Etq_LibSousSecteur",            K::Label,    "Libellé",                      kSous, {240, 600, 732, 252}},
    {"Cbo_LibSousSecteur",            K::ComboBox, "",                             kSous, {1560, 600, 4215, 315},     7},
    {"Cdr_Quartier",                  K::Frame,    "Quartier",                     kCtr,  {0, 3240, 6975, 2655}},
    {"Etq_CodeQuartier",              K::Label,    "Code",                         kQuar, {240, 240, 612, 252}},
    {"Txt_CodeQuartier",              K::TextBox,  "",                             kQuar, {1560, 240, 375, 285},      8},
    {"Cmd_AjouterQuartier",           K::Button,   "Ajouter",                      kQuar, {5880, 480, 855, 375},      19},
    {"Etq_LibQuartier",               K::Label,    "Libellé",                      kQuar, {240, 600, 612, 252}},
    {"Cbo_LibQuartier",               K::ComboBox, "",                             kQuar, {1560, 600, 4215, 315},     9},
    {"Lig_Quartier",                  K::Line,     "",                             kQuar, {6600, 1080, 240, 1080}},
    {"Etq_CentreMedQuartier",         K::Label,    "Centre Médical",               kQuar, {240, 1320, 1092, 252}},
    {"Txt_CodeCentreMedQuartier",     K::TextBox,  "",                             kQuar, {1560, 1320, 375, 285},     10},
    {"Cbo_LibCentreMedQuartier",      K::ComboBox, "",                             kQuar, {2040, 1320, 3735, 315},    11},
    {"Cmd_AjouterCentreMedQuartier",  K::Button,   "Ajouter",                      kQuar, {5880, 1320, 855, 375},     18,  0,   false},
    {"Etq_AntMedQuartier",            K::Label,    "Antenne Médicale",             kQuar, {240, 1920, 1335, 255}},
    {"Txt_CodeAntMedQuartier",        K::TextBox,  "",                             kQuar, {1560, 1920, 375, 285},     12},
    {"Cbo_LibAntMedQuartier",         K::ComboBox, "",                             kQuar, {2040, 1920, 3735, 315},    13},
    {"Cmd_AjouterAntMedQuartier",     K::Button,   "Ajouter",                      kQuar, {5880, 1920, 855, 375},     17,  0,   false},
    {"Cmd_Agrement",                  K::Button,   "Agrément Entité/Département",  kCtr,  {120, 6000, 2295, 375},     36,  0,   true,   false},
    {"Cmd_GestionDocumentaire",       K::Button,   "Gestion documentaire",         kCtr,  {2460, 6000, 1700, 375},    39,  0,   false,  false},
    {"Cmd_OkSecteurGeo",              K::Button,   "OK",                           kCtr,  {4200, 6000, 855, 375},     14},
    {"Cmd_AnnulerSecteurGeo",         K::Button,   "Annuler",                      kCtr,  {5160, 6000, 855, 375},     34},
    {"Cmd_SortirSecteurGeo",          K::Button,   "Sortir",                       kCtr,  {6120, 6000, 855, 375},     15},
    {"Mnu_Aide",                      K::Menu,     "Aide",                         kCtr,  {}},
    {"Mnu_Sommaire",                  K::MenuEntry,"Aide ORVANIS",                 "Mnu_Aide", {}},
}};
// clang-format on

}  // namespace

const std::array<ControlDef, kControlCount>& ScreenModel() {
    return kModel;
}

std::optional<ControlDef> FindControl(std::string_view name) {
    auto found = std::find_if(kModel.begin(), kModel.end(),
                              [name](const ControlDef& def) { return def.name == name; });
    if (found == kModel.end()) return std::nullopt;
    return *found;
}

}  // namespace zonitra
