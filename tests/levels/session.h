#pragma once
// The sector editor over a small database of its own, driven by the scripted
// operator (real key and mouse events, offscreen), with every write and every
// message box noted so that a test can check the screen, the focus, the
// messages and the database together.
//
// The database (label order in brackets, which is the order of the lists):
//   SECTEUR    001 NORD    AG-1, 12/03/2001, CR-1, "05"; sub-sectors 01, 02, 03
//              002 CENTRE  AG-2, no date, CR-2, "69"; one sub-sector, one neighbourhood
//              004 OUEST   "29"; one sub-sector with two neighbourhoods
//              003 EST, 007 SUD, 0AB LETTRES: no sub-sector
//              [CENTRE, EST, LETTRES, NORD, OUEST, SUD]
//   SOUSSECTEUR 00101 VERGERS (one neighbourhood), 00102 ABBAYE (three),
//              00103 MOULIN (none), 00201 CENTRE VILLE (one)  [ABBAYE, MOULIN, VERGERS]
//              00401 PORT (two)
//   QUARTIER   0010101 PLACE -> 012004
//              0010201 TILLEULS -> 005001, 0010202 CLOITRE -> 012005,
//              0010203 BEFFROI -> 099001 (no such centre)  [BEFFROI, CLOITRE, TILLEULS]
//              0020101 MAIRIE -> 005001
//              0040101 QUAI -> 012001, 0040102 DIGUE -> 012009 (no such antenna)
//   CENTREMEDICAL 005 ARCHE (one antenna), 012 LILAS (three), 030 DUNES (none)
//                 [ARCHE, DUNES, LILAS]
//   ANTENNEMEDICALE 005001 PONT; 012001 HALLES, 012004 PORTE, 012005 GARE
//                   [GARE, HALLES, PORTE]
//   ASSOCIATION one or two records; COMPTEUR "999"; DROITS CHEF (level 2), AGENT (level 1)

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"
#include "forms/msgbox.h"

namespace kelmor {
class Database;
}

namespace levels_test {

using Texts = std::vector<std::string>;

inline const char* const kTitle = "Message ORVANIS";
inline const char* const kUser = "CHEF";
inline const char* const kLevel1User = "AGENT";

struct Options {
    int associations = 2;
    std::string user = kUser;
};

// The fields of each level, in screen order.
inline const std::initializer_list<const char*> kSectorFields = {
    "Txt_CodeSecteur",     "Cbo_LibSecteur", "Txt_NoAgrementSect",
    "Txt_DatAgrementSect", "Txt_NumCRAM",    "Txt_Dep"};
inline const std::initializer_list<const char*> kSubSectorFields = {"Txt_CodeSousSecteur",
                                                                    "Cbo_LibSousSecteur"};
inline const std::initializer_list<const char*> kNeighbourhoodFields = {"Txt_CodeQuartier",
                                                                        "Cbo_LibQuartier"};
inline const std::initializer_list<const char*> kLinkFields = {
    "Txt_CodeCentreMedQuartier", "Cbo_LibCentreMedQuartier", "Txt_CodeAntMedQuartier",
    "Cbo_LibAntMedQuartier"};

// Fills an empty database with the records above.
void BuildFixture(kelmor::Database& db, const Options& options);

class Session {
public:
    explicit Session(const Options& options = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Plays operator commands (one a line, the scripted operator's language);
    // a command that fails fails the test with the driver's error.
    void Do(std::string_view lines);

    // Shows sector, then sub-sector and neighbourhood when given, by typing
    // their full codes; fails when anything was written or shown on the way.
    // What was noted is then taken, so that a test sees only its own action.
    ::testing::AssertionResult Open(const std::string& sector, const std::string& subSector = "",
                                    const std::string& neighbourhood = "");

    std::string Text(const char* control) const;
    Texts TextsOf(std::initializer_list<const char*> controls) const;
    Texts Items(const char* control) const;
    bool Enabled(const char* control) const;
    // The control holding the focus, "-" when none.
    std::string Focus() const;

    // Message boxes and writes since the previous call; a write is "FILE KEY".
    std::vector<forms::MessageRecord> TakeMessages();
    Texts TakeWrites();

    // Attribute `attr` of a record as stored now; "<none>" when absent.
    std::string Stored(const std::string& file, const std::string& key, int attr) const;
    // The database as the tests change it behind the editor (nothing noted).
    kelmor::Database& Plain() { return *plain_; }
    drive::Driver& Driver() { return *driver_; }
    QWidget* Control(const char* name) const;

private:
    QTemporaryDir dir_;
    std::shared_ptr<kelmor::Database> plain_;
    drive::RecordedDatabase recorded_;
    std::unique_ptr<drive::Driver> driver_;
};

// Exactly one box, titled "Message ORVANIS", with `text`, `icon` and an OK button alone.
::testing::AssertionResult OneBox(const std::vector<forms::MessageRecord>& messages,
                                  const QString& text, int icon);

// The unknown-code messages of the levels.
inline const QString kUnknownSector = QStringLiteral(
    "Ce Secteur n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
inline const QString kUnknownSubSector = QStringLiteral(
    "Ce Sous_Secteur n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
inline const QString kUnknownNeighbourhood = QStringLiteral(
    "Ce Quartier n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
inline const QString kUnknownCentre = QStringLiteral(
    "Ce Centre Médical n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
inline const QString kUnknownAntenna = QStringLiteral(
    "Cette Antenne Médicale n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour la "
    "créer");
inline const QString kAntennaLabelNeeded =
    QStringLiteral("Le Libellé de l'Antenne Médicale doit être renseigné.");
inline const QString kBadDate =
    QStringLiteral("Erreur de saisie dans la date, veuillez la ressaisir.");
inline const QString kBadDepartement =
    QStringLiteral("Le département doit être compris entre 01 et 99 ou égal à 2A ou 2B.");

}  // namespace levels_test
