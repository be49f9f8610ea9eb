#pragma once
// A small sector database in a temporary directory, and the editor placed on
// a host window over it, driven as an operator would.

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "control/ctr_secteur.h"
#include "kelmor/database.h"
#include "services/droits.h"

namespace control_test {

// Users of DROITS: SECTEUR at level 2, at level 1, and with a broken level.
inline const std::string kChef = "CHEF";
inline const std::string kAgent = "AGENT";
inline const std::string kBroken = "BROKEN";

struct FixtureOptions {
    int associations = 2;
    bool counter999 = true;
    std::string missingFile;  // a file of the editor left out of the database
};

// Sectors NORD, CENTRE, ÉTANG (listed CENTRE, ÉTANG, NORD); centres LILAS and
// ARCHE (listed ARCHE, LILAS).
std::shared_ptr<kelmor::Database> MakeDatabase(const QTemporaryDir& dir,
                                               const FixtureOptions& options = {});

void AddCentre(kelmor::Database& db, const std::string& code, const std::string& label);

std::vector<std::string> Items(const forms::ComboBox* combo);

// The editor on a shown, active host window, its host objects set.
class Editor {
public:
    explicit Editor(const FixtureOptions& options = {}, const std::string& user = kChef);
    ~Editor();

    zonitra::Ctr_Secteur& ctl() { return *ctl_; }
    const zonitra::SecteurScreen& ui() const { return ctl_->Screen(); }
    kelmor::Database& db() { return *db_; }
    const std::shared_ptr<kelmor::Database>& dbPtr() const { return db_; }
    const zonitra::ClientObject& client() const { return client_; }

    // Shows the host window and puts the focus into Txt_CodeSecteur.
    ::testing::AssertionResult Show();

private:
    QTemporaryDir dir_;
    std::shared_ptr<kelmor::Database> db_;
    zonitra::ClientObject client_;
    std::unique_ptr<QWidget> host_;
    zonitra::Ctr_Secteur* ctl_ = nullptr;
};

template <class Predicate>
::testing::AssertionResult Eventually(Predicate predicate, const char* what) {
    if (QTest::qWaitFor(predicate)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "timed out waiting for " << what;
}

inline std::string NameOf(const QObject* object) {
    return object ? object->objectName().toStdString() : std::string("(none)");
}

}  // namespace control_test
