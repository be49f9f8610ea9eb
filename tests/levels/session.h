#pragma once
// The levels' database, under the shared editor harness.
//
//   SECTEUR     001 NORD (AG-1, 12/03/2001, CR-1, "05"; sub-sectors 01, 02, 03)
//               002 CENTRE (AG-2, no date, CR-2, "69"; one sub-sector, one neighbourhood)
//               004 OUEST (one sub-sector, two neighbourhoods); 003 EST, 007 SUD, 0AB LETTRES
//   SOUSSECTEUR 00101 VERGERS (one neighbourhood), 00102 ABBAYE (three), 00103 MOULIN (none),
//               00201 CENTRE VILLE, 00401 PORT
//   QUARTIER    0010101 PLACE -> 012004; 0010201 TILLEULS -> 005001, 0010202 CLOITRE -> 012005,
//               0010203 BEFFROI -> 099001 (no such centre); 0020101 MAIRIE -> 005001;
//               0040101 QUAI -> 012001, 0040102 DIGUE -> 012009 (no such antenna)
//   CENTREMEDICAL 005 ARCHE (antenna 001 PONT), 012 LILAS (001 HALLES, 004 PORTE, 005 GARE),
//                 030 DUNES (none)
// Lists are in label order.

#include <QString>

#include <sstream>
#include <string>
#include <utility>

#include "editor_harness.h"

namespace levels_test {

using harness::Box;
using harness::Texts;

inline const std::vector<std::string> kRecords = {
    // Attribute 12 of a sector is a CEDEX set, as the address dialog leaves it.
    "SECTEUR;001;1=NORD;3=AG-1;4=12125;12=0;20=CR-1;21=05",
    "SECTEUR;002;1=CENTRE;3=AG-2;12=0;20=CR-2;21=69|SECTEUR;003;1=EST;12=0;21=2A",
    "SECTEUR;004;1=OUEST;12=0;21=29|SECTEUR;007;1=SUD;12=0;21=2B|SECTEUR;0AB;1=LETTRES;12=0;21=01",
    "SOUSSECTEUR;00101;1=VERGERS|SOUSSECTEUR;00102;1=ABBAYE|SOUSSECTEUR;00103;1=MOULIN",
    "SOUSSECTEUR;00201;1=CENTRE VILLE|SOUSSECTEUR;00401;1=PORT",
    "QUARTIER;0010101;1=PLACE;2=012004|QUARTIER;0010201;1=TILLEULS;2=005001",
    "QUARTIER;0010202;1=CLOITRE;2=012005|QUARTIER;0010203;1=BEFFROI;2=099001",
    "QUARTIER;0020101;1=MAIRIE;2=005001|QUARTIER;0040101;1=QUAI;2=012001",
    "QUARTIER;0040102;1=DIGUE;2=012009",
    "CENTREMEDICAL;005;1=ARCHE|CENTREMEDICAL;012;1=LILAS|CENTREMEDICAL;030;1=DUNES",
    "ANTENNEMEDICALE;005001;1=PONT|ANTENNEMEDICALE;012001;1=HALLES",
    "ANTENNEMEDICALE;012004;1=PORTE|ANTENNEMEDICALE;012005;1=GARE",
    "ASSOCIATION;001;1=ENTITE|COMPTEUR;999;1=COMPTEUR|DROITS;CHEF;1=SECTEUR;2=2"};

class Session : public harness::Session {
public:
    // On a fresh database of `kind`; Init's own messages, writes and calls
    // belong to the shell's tests and are taken.
    explicit Session(kelmor::test::BackendKind kind = kelmor::test::BackendKind::Sqlite)
        : harness::Session("CHEF", kRecords, kind) {
        TakeMessages();
        TakeWrites();
        TakeCalls();
    }

    // Shows the levels by typing their full codes ("001 02 01"); fails when
    // anything was written or shown on the way. What was noted is then taken.
    ::testing::AssertionResult Open(const std::string& codes) {
        std::istringstream in(codes);
        for (const char* field : {"Txt_CodeSecteur", "Txt_CodeSousSecteur", "Txt_CodeQuartier"}) {
            std::string code;
            if (!(in >> code)) break;
            if (Text(field) != code) Do(std::string("type ") + field + " " + code);
        }
        const Texts messages = TakeMessages(), writes = TakeWrites();
        TakeCalls();
        if (messages.empty() && writes.empty()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "opening " << codes << " showed " << ::testing::PrintToString(messages)
               << " and wrote " << ::testing::PrintToString(writes);
    }
    // Codes and labels of the three levels, then the four link fields, comma-separated.
    std::string Screen() const {
        std::string screen;
        bool first = true;
        for (const char* name :
             {"Txt_CodeSecteur", "Cbo_LibSecteur", "Txt_CodeSousSecteur", "Cbo_LibSousSecteur",
              "Txt_CodeQuartier", "Cbo_LibQuartier", "Txt_CodeCentreMedQuartier",
              "Cbo_LibCentreMedQuartier", "Txt_CodeAntMedQuartier", "Cbo_LibAntMedQuartier"})
            screen += (std::exchange(first, false) ? "" : ",") + Text(name);
        return screen;
    }
};

// Types `text` over the field (empties it for "") and leaves it with Tab.
inline std::string Enter(const std::string& field, const std::string& text) {
    if (text.empty()) return "clear " + field + "\nkey " + field + " Tab";
    return "select " + field + "\ntype " + field + " " + text + "\nkey " + field + " Tab";
}

inline const QString kAdd =
    QStringLiteral("\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
inline const QString kUnknownSector = QStringLiteral("Ce Secteur n'existe pas.") + kAdd;
inline const QString kUnknownSubSector = QStringLiteral("Ce Sous_Secteur n'existe pas.") + kAdd;
inline const QString kUnknownNeighbourhood = QStringLiteral("Ce Quartier n'existe pas.") + kAdd;
inline const QString kUnknownCentre = QStringLiteral("Ce Centre Médical n'existe pas.") + kAdd;
inline const QString kUnknownAntenna = QStringLiteral(
    "Cette Antenne Médicale n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour la "
    "créer");
inline const QString kAntennaLabelNeeded =
    QStringLiteral("Le Libellé de l'Antenne Médicale doit être renseigné.");
inline const QString kBadDate =
    QStringLiteral("Erreur de saisie dans la date, veuillez la ressaisir.");
inline const QString kBadDepartement =
    QStringLiteral("Le département doit être compris entre 01 et 99 ou égal à 2A ou 2B.");
inline const QString kLeaveCreation =
    QStringLiteral("Etes-vous sûr de vouloir quitter cette création ?");

}  // namespace levels_test
