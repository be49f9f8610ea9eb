#pragma once
// Every control of Ctr_Secteur, declared once. The screen table (screen_model.h),
// the widget struct and the code that binds it to the built widgets
// (secteur_screen.h) are all expanded from this list, so a control is added,
// renamed or moved here and nowhere else.
//
// ZONITRA_SECTEUR_CONTROLS(X) calls X once per control, in creation order
// (containers before what they hold), with:
//   name      the control's name, also the widget's object name
//   kind      a ControlKind enumerator
//   caption   "" for none
//   in        the container's name; "" for the control itself
//   left, top, width, height   in twips, relative to the container;
//             for a line: x1, y1, x2, y2
//   tab       tab order; -1 for a control that takes no focus
//   max       maximum length of a text box; 0 for no limit
//   visible, enabled   the state the control starts in

// clang-format off
#define ZONITRA_SECTEUR_CONTROLS(X) \
  /* name                          kind       caption                        in                  left   top width height tab max visible enabled */ \
  X(Cdr_Secteur,                  Frame,     "Secteur",                     "",                   0,    0, 6975,  2055, -1,  0,   true,    true)    \
  X(Etq_CodeSecteur,              Label,     "Code",                        "Cdr_Secteur",      240,  240,  852,   252, -1,  0,   true,    true)    \
  X(Txt_CodeSecteur,              TextBox,   "",                            "Cdr_Secteur",     1560,  240,  495,   288,  0,  3,   true,    true)    \
  X(Cmd_AjouterSecteur,           Button,    "Ajouter",                     "Cdr_Secteur",     5880,  240,  855,   375, 29,  0,   true,    true)    \
  X(Etq_LibSecteur,               Label,     "Libellé",                     "Cdr_Secteur",      240,  600,  612,   252, -1,  0,   true,    true)    \
  X(Cbo_LibSecteur,               ComboBox,  "",                            "Cdr_Secteur",     1560,  600, 4215,   315,  1,  0,   true,    true)    \
  X(Cmd_Adresse,                  Button,    "Adresse",                     "Cdr_Secteur",     5880,  720,  855,   375, 35,  0,   true,    true)    \
  X(Etq_NoAgrementSect,           Label,     "Numéro Agrément",             "Cdr_Secteur",      240,  960,  735,   495, -1,  0,   true,    true)    \
  X(Txt_NoAgrementSect,           TextBox,   "",                            "Cdr_Secteur",     1560, 1080, 2175,   288,  2, 25,   true,    true)    \
  X(Etq_DatAgrementSect,          Label,     "Date",                        "Cdr_Secteur",     4200, 1080,  375,   255, -1,  0,   true,    true)    \
  X(Txt_DatAgrementSect,          TextBox,   "",                            "Cdr_Secteur",     4800, 1080,  975,   288,  3,  0,   true,    true)    \
  X(Etq_NumCRAM,                  Label,     "Numéro CRAM",                 "Cdr_Secteur",      240, 1560, 1065,   195, -1,  0,   true,    true)    \
  X(Txt_NumCRAM,                  TextBox,   "",                            "Cdr_Secteur",     1560, 1560, 3015,   285,  4, 20,   true,    true)    \
  X(Etq_Dep,                      Label,     "Département",                 "Cdr_Secteur",     4800, 1560,  915,   195, -1,  0,   true,    true)    \
  X(Txt_Dep,                      TextBox,   "",                            "Cdr_Secteur",     6000, 1560,  495,   285,  5,  2,   true,    true)    \
  X(Cdr_SousSecteur,              Frame,     "Sous-Secteur",                "",                   0, 2160, 6975,   972, -1,  0,   true,    true)    \
  X(Etq_CodeSousSecteur,          Label,     "Code",                        "Cdr_SousSecteur",  240,  240,  492,   252, -1,  0,   true,    true)    \
  X(Txt_CodeSousSecteur,          TextBox,   "",                            "Cdr_SousSecteur", 1560,  240,  375,   288,  6,  0,   true,    true)    \
  X(Cmd_AjouterSousSecteur,       Button,    "Ajouter",                     "Cdr_SousSecteur", 5880,  360,  855,   375, 25,  0,   true,    true)    \
  X(Etq_LibSousSecteur,           Label,     "Libellé",                     "Cdr_SousSecteur",  240,  600,  732,   252, -1,  0,   true,    true)    \
  X(Cbo_LibSousSecteur,           ComboBox,  "",                            "Cdr_SousSecteur", 1560,  600, 4215,   315,  7,  0,   true,    true)    \
  X(Cdr_Quartier,                 Frame,     "Quartier",                    "",                   0, 3240, 6975,  2655, -1,  0,   true,    true)    \
  X(Etq_CodeQuartier,             Label,     "Code",                        "Cdr_Quartier",     240,  240,  612,   252, -1,  0,   true,    true)    \
  X(Txt_CodeQuartier,             TextBox,   "",                            "Cdr_Quartier",    1560,  240,  375,   285,  8,  0,   true,    true)    \
  X(Cmd_AjouterQuartier,          Button,    "Ajouter",                     "Cdr_Quartier",    5880,  480,  855,   375, 19,  0,   true,    true)    \
  X(Etq_LibQuartier,              Label,     "Libellé",                     "Cdr_Quartier",     240,  600,  612,   252, -1,  0,   true,    true)    \
  X(Cbo_LibQuartier,              ComboBox,  "",                            "Cdr_Quartier",    1560,  600, 4215,   315,  9,  0,   true,    true)    \
  X(Lig_Quartier,                 Line,      "",                            "Cdr_Quartier",    6600, 1080,  240,  1080, -1,  0,   true,    true)    \
  X(Etq_CentreMedQuartier,        Label,     "Centre Médical",              "Cdr_Quartier",     240, 1320, 1092,   252, -1,  0,   true,    true)    \
  X(Txt_CodeCentreMedQuartier,    TextBox,   "",                            "Cdr_Quartier",    1560, 1320,  375,   285, 10,  0,   true,    true)    \
  X(Cbo_LibCentreMedQuartier,     ComboBox,  "",                            "Cdr_Quartier",    2040, 1320, 3735,   315, 11,  0,   true,    true)    \
  X(Cmd_AjouterCentreMedQuartier, Button,    "Ajouter",                     "Cdr_Quartier",    5880, 1320,  855,   375, 18,  0,  false,    true)    \
  X(Etq_AntMedQuartier,           Label,     "Antenne Médicale",            "Cdr_Quartier",     240, 1920, 1335,   255, -1,  0,   true,    true)    \
  X(Txt_CodeAntMedQuartier,       TextBox,   "",                            "Cdr_Quartier",    1560, 1920,  375,   285, 12,  0,   true,    true)    \
  X(Cbo_LibAntMedQuartier,        ComboBox,  "",                            "Cdr_Quartier",    2040, 1920, 3735,   315, 13,  0,   true,    true)    \
  X(Cmd_AjouterAntMedQuartier,    Button,    "Ajouter",                     "Cdr_Quartier",    5880, 1920,  855,   375, 17,  0,  false,    true)    \
  X(Cmd_Agrement,                 Button,    "Agrément Entité/Département", "",                 120, 6000, 2295,   375, 36,  0,   true,   false)    \
  X(Cmd_GestionDocumentaire,      Button,    "Gestion documentaire",        "",                2460, 6000, 1700,   375, 39,  0,  false,   false)    \
  X(Cmd_OkSecteurGeo,             Button,    "OK",                          "",                4200, 6000,  855,   375, 14,  0,   true,    true)    \
  X(Cmd_AnnulerSecteurGeo,        Button,    "Annuler",                     "",                5160, 6000,  855,   375, 34,  0,   true,    true)    \
  X(Cmd_SortirSecteurGeo,         Button,    "Sortir",                      "",                6120, 6000,  855,   375, 15,  0,   true,    true)    \
  X(Mnu_Aide,                     Menu,      "Aide",                        "",                   0,    0,    0,     0, -1,  0,   true,    true)    \
  X(Mnu_Sommaire,                 MenuEntry, "Aide ORVANIS",                "Mnu_Aide",           0,    0,    0,     0, -1,  0,   true,    true)
// clang-format on
