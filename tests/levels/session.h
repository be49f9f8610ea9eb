#pragma once
// The sector editor over a small database of its own, driven by the scripted
// operator (real key and mouse events, offscreen), with every database call,
// write and message box noted.
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
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"
#include "forms/msgbox.h"
#include "test_database.h"

namespace levels_test {

using Texts = std::vector<std::string>;
class CountingBackend;

class Session {
public:
    // The fixture on a fresh database of `kind` (a PostgreSQL schema of its
    // own on the test server for Postgres).
    explicit Session(kelmor::test::BackendKind kind = kelmor::test::BackendKind::Sqlite);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Plays operator commands, one a line; a failing command fails the test.
    void Do(std::string_view lines);
    // Shows the levels by typing their full codes ("001 02 01"); fails when
    // anything was written or shown on the way. What was noted is then taken.
    ::testing::AssertionResult Open(const std::string& codes);

    std::string Text(const char* control) const;
    // Codes and labels of the three levels, then the four link fields, comma-separated.
    std::string Screen() const;
    Texts Items(const char* list) const;
    std::string Focus() const;  // "-" when none
    bool Enabled(const char* control) const;

    // Since the previous call: message boxes as Box() gives them (each checked
    // for its title; buttons other than a lone OK are named after the text,
    // with the answer taken: " [Yes No: No]"), writes as "FILE KEY", and every
    // database call as "read FILE KEY", "scan FILE PREFIX", "write FILE KEY",
    // "insert FILE KEY", "begin", "commit" or "rollback".
    Texts TakeMessages();
    Texts TakeWrites();
    Texts TakeCalls();
    // From now on, an insert into `file` fails as a storage error would;
    // "" stops the failures.
    void FailInsertsInto(const std::string& file);
    // From now on, every DBWrite fails with error `number` before reaching
    // the storage, as a busy, full, read-only or lost database makes it
    // fail; 0 stops the failures.
    void FailWritesWith(std::int32_t number);
    // Another workstation: a connection of its own to the same database,
    // setting attribute `attr` of a record it reads now and storing it.
    void OtherWorkstationSets(const std::string& file, const std::string& key, int attr,
                              const std::string& value);

    // Attribute `attr` of a record as stored now; "<none>" when absent.
    std::string Stored(const std::string& file, const std::string& key, int attr) const;
    kelmor::Database& Plain() { return *plain_; }
    // Another workstation's connection of its own to the database.
    kelmor::Database& Other();

private:
    kelmor::test::TestDatabase database_;
    std::shared_ptr<kelmor::Database> plain_;
    std::shared_ptr<kelmor::Database> other_;
    std::shared_ptr<CountingBackend> counter_;
    drive::RecordedDatabase recorded_;
    std::unique_ptr<drive::Driver> driver_;
};

std::string Box(const QString& text, int icon);

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
