// What each operator action asks of the database: the reads, list queries and
// writes of a lookup cascade, a rename and a relink, and nothing more; and a
// read that fails for another reason than a missing record, passed over.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "control/ctr_secteur.h"
#include "forms/focus.h"
#include "forms/scripteduiservice.h"
#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "services/droits.h"

namespace {

using Ops = std::vector<std::string>;

// Forwards to the real storage and notes every read, list scan and write as
// "read FILE KEY", "scan FILE PREFIX", "write FILE KEY". Reads of `failing`
// fail as a broken storage would.
class CountingBackend : public kelmor::Backend {
public:
    explicit CountingBackend(std::shared_ptr<kelmor::Backend> inner) : inner_(std::move(inner)) {}

    Ops Take() { return std::exchange(ops_, {}); }
    std::string failing;

    bool HasFile(std::string_view file) override { return inner_->HasFile(file); }
    void CreateFile(std::string_view file) override { inner_->CreateFile(file); }
    std::vector<std::string> FileNames() override { return inner_->FileNames(); }
    std::optional<std::string> Read(std::string_view file, std::string_view key) override {
        ops_.push_back("read " + std::string(file) + " " + std::string(key));
        if (file == failing) throw kelmor::Error(kelmor::kStorageError, "disk unreadable");
        return inner_->Read(file, key);
    }
    void Write(std::string_view file, std::string_view key, std::string_view whole) override {
        ops_.push_back("write " + std::string(file) + " " + std::string(key));
        inner_->Write(file, key, whole);
    }
    bool Delete(std::string_view file, std::string_view key) override {
        ops_.push_back("delete " + std::string(file) + " " + std::string(key));
        return inner_->Delete(file, key);
    }
    void Scan(std::string_view file, const kelmor::KeySelection& selection,
              const Visitor& visit) override {
        ops_.push_back("scan " + std::string(file) + " " + selection.text);
        inner_->Scan(file, selection, visit);
    }
    void Begin() override { inner_->Begin(); }
    void Commit() override { inner_->Commit(); }
    void Rollback() noexcept override { inner_->Rollback(); }
    bool InTransaction() const noexcept override { return inner_->InTransaction(); }

private:
    std::shared_ptr<kelmor::Backend> inner_;
    Ops ops_;
};

void Put(kelmor::Database& db, const char* file, const std::string& key,
         const std::vector<std::string>& attributes) {
    kelmor::DbRecord record = db.OpenFile(file).NewRecord(key);
    for (std::size_t a = 0; a < attributes.size(); ++a)
        record.Set(static_cast<int>(a + 1), attributes[a]);
    record.DBWrite();
}

// Sector 001 NORD with sub-sectors 01 (one neighbourhood, linked to the only
// antenna of centre 005) and 02; centre 012 with antennas 004 and 005.
std::shared_ptr<kelmor::Database> Fixture(const QTemporaryDir& dir) {
    auto db = kelmor::Database::OpenSqlite(dir.filePath("trips.db").toStdString());
    for (const char* file : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL",
                             "ANTENNEMEDICALE", "ASSOCIATION", "COMPTEUR", "DROITS"})
        db->CreateFile(file);
    Put(*db, "SECTEUR", "001", {"NORD", "", "AG-1", "12125"});
    Put(*db, "SECTEUR", "002", {"SUD"});
    Put(*db, "SOUSSECTEUR", "00101", {"VERGERS"});
    Put(*db, "SOUSSECTEUR", "00102", {"ABBAYE"});
    Put(*db, "SOUSSECTEUR", "00201", {"PORT"});
    Put(*db, "QUARTIER", "0010101", {"PLACE", "005001"});
    Put(*db, "QUARTIER", "0020101", {"QUAI", "012004"});
    Put(*db, "QUARTIER", "0020102", {"DIGUE", "012005"});
    Put(*db, "CENTREMEDICAL", "005", {"ARCHE"});
    Put(*db, "CENTREMEDICAL", "012", {"LILAS"});
    Put(*db, "ANTENNEMEDICALE", "005001", {"PONT"});
    Put(*db, "ANTENNEMEDICALE", "012004", {"PORTE"});
    Put(*db, "ANTENNEMEDICALE", "012005", {"GARE"});
    Put(*db, "ASSOCIATION", "A1", {"ENTITE"});
    Put(*db, "COMPTEUR", "999", {"0"});
    Put(*db, "DROITS", "CHEF", {"SECTEUR", "2"});
    return db;
}

class RoundTrips : public ::testing::Test {
protected:
    void SetUp() override {
        plain_ = Fixture(dir_);
        std::shared_ptr<kelmor::Backend> inner(plain_, &plain_->backend());
        counter_ = std::make_shared<CountingBackend>(inner);
        auto db = std::make_shared<kelmor::Database>(counter_);
        ctl_ = new zonitra::Ctr_Secteur(&host_);
        host_.resize(ctl_->sizeHint());
        ctl_->SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db, "CHEF"));
        ctl_->SetTheClient(std::make_shared<const int>(1));
        ctl_->SetTheDatabase(db);
        ctl_->Init();
        host_.show();
        host_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host_));
        forms::SetFocus(ui().Txt_CodeSecteur);
        ASSERT_TRUE(QTest::qWaitFor([&] { return FocusName() == "Txt_CodeSecteur"; }));
        QApplication::processEvents();
        counter_->Take();
    }

    const zonitra::SecteurScreen& ui() const { return ctl_->Screen(); }
    static std::string FocusName() {
        QWidget* w = forms::FocusedControl();
        return w ? w->objectName().toStdString() : "-";
    }
    // Types text at the end of the field, which takes the focus first.
    void Type(QWidget* field, const QString& text) {
        forms::SetFocus(field);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    // Types over the whole text, as renaming a label does.
    void TypeOver(QWidget* field, const QString& text) {
        forms::SetFocus(field);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    // Empties a code field, then types a new code (typing over a shown code
    // would lose its first character to the label's cascade).
    void Retype(QWidget* field, const QString& text) {
        forms::SetFocus(field);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }

    forms::ScriptedUiService msgs_;
    forms::ScopedUi scope_{msgs_};
    QTemporaryDir dir_;
    std::shared_ptr<kelmor::Database> plain_;
    std::shared_ptr<CountingBackend> counter_;
    QWidget host_;
    zonitra::Ctr_Secteur* ctl_ = nullptr;
};

TEST_F(RoundTrips, ASectorLookupReadsEachLevelOnceAndTheLinksAsShown) {
    Type(ui().Txt_CodeSecteur, "1");
    Key(Qt::Key_Return);
    Type(ui().Txt_CodeSousSecteur, "01");
    EXPECT_EQ(counter_->Take(), (Ops{
                                    "read SECTEUR 001",
                                    "scan ASSOCIATION ",
                                    "scan SOUSSECTEUR 001",
                                    "read SOUSSECTEUR 00101",
                                    "scan QUARTIER 00101",
                                    "read QUARTIER 0010101",
                                    // the centre code's lookup, with its antennas
                                    "read CENTREMEDICAL 005",
                                    "scan ANTENNEMEDICALE 005",
                                    "read ANTENNEMEDICALE 005001",
                                    // the display reads both again for their labels
                                    "read CENTREMEDICAL 005",
                                    "read ANTENNEMEDICALE 005001",
                                }));
    EXPECT_EQ(ui().Cbo_LibAntMedQuartier->Text(), "PONT");
    EXPECT_EQ(FocusName(), "Txt_CodeQuartier");
    EXPECT_TRUE(msgs_.Messages().empty());
}

TEST_F(RoundTrips, RenamesWriteOnceAndOnlyTheSectorRefillsItsList) {
    Type(ui().Txt_CodeSecteur, "002");  // one sub-sector, shown at once
    Type(ui().Txt_CodeQuartier, "01");
    counter_->Take();

    TypeOver(ui().Cbo_LibQuartier, "quai ouest");
    Key(Qt::Key_Tab);
    EXPECT_EQ(counter_->Take(), (Ops{"write QUARTIER 0020101"}));

    TypeOver(ui().Cbo_LibSousSecteur, "port");  // the stored label, typed in lower case
    Key(Qt::Key_Tab);
    EXPECT_EQ(counter_->Take(), Ops{});

    TypeOver(ui().Cbo_LibSecteur, "sud est");
    Key(Qt::Key_Tab);
    EXPECT_EQ(counter_->Take(), (Ops{"write SECTEUR 002", "scan SECTEUR "}));
    EXPECT_EQ(ui().Cbo_LibSecteur->Text(), "SUD EST");
    // Every level keeps its code, and Tab went on to the next field.
    EXPECT_EQ(ui().Txt_CodeSecteur->Text(), "002");
    EXPECT_EQ(ui().Txt_CodeSousSecteur->Text(), "01");
    EXPECT_EQ(ui().Txt_CodeQuartier->Text(), "01");
    EXPECT_EQ(FocusName(), "Txt_NoAgrementSect");
    EXPECT_EQ(plain_->OpenFile("QUARTIER").ReadRecord("0020101").Get(1), "QUAI OUEST");
}

TEST_F(RoundTrips, ARelinkReadsTheAntennaAndWritesTheNeighbourhoodOnce) {
    Type(ui().Txt_CodeSecteur, "002");
    Type(ui().Txt_CodeQuartier, "01");
    ASSERT_EQ(ui().Txt_CodeAntMedQuartier->Text(), "004");
    counter_->Take();

    Retype(ui().Txt_CodeAntMedQuartier, "5");
    Key(Qt::Key_Tab);  // padded to 005, looked up, then written
    EXPECT_EQ(counter_->Take(), (Ops{"read ANTENNEMEDICALE 012005", "write QUARTIER 0020101"}));
    EXPECT_EQ(plain_->OpenFile("QUARTIER").ReadRecord("0020101").Get(2), "012005");

    Key(Qt::Key_Tab);  // the antenna lookup kept the focus; leaving again writes nothing
    EXPECT_EQ(counter_->Take(), Ops{});
}

// A sector read that fails for another reason: no message, no current record,
// so the display stops at its first step; the steps after it still run.
TEST_F(RoundTrips, ASectorReadFailurePassesOverWithoutAMessage) {
    counter_->failing = "SECTEUR";
    Type(ui().Txt_CodeSecteur, "001");
    EXPECT_TRUE(msgs_.Messages().empty());
    EXPECT_FALSE(ctl_->State().records.secteur);
    EXPECT_EQ(ui().Cbo_LibSecteur->Text(), "");
    // The sub-sector list was filled although the display never opened the level.
    EXPECT_EQ(ui().Cbo_LibSousSecteur->ListCount(), 2);
    EXPECT_FALSE(ui().Cdr_SousSecteur->isEnabled());
    EXPECT_EQ(FocusName(), "Txt_CodeSecteur");
}

// A centre read that fails: no message, the antenna is emptied and the
// centre's antennas listed; only the label step, which needs the record, is
// skipped.
TEST_F(RoundTrips, ACentreReadFailureSkipsOnlyTheLabel) {
    Type(ui().Txt_CodeSecteur, "002");
    Type(ui().Txt_CodeQuartier, "01");
    counter_->failing = "CENTREMEDICAL";
    Retype(ui().Txt_CodeCentreMedQuartier, "005");
    EXPECT_TRUE(msgs_.Messages().empty());
    EXPECT_FALSE(ctl_->State().records.centreMedical);
    EXPECT_EQ(ui().Cbo_LibAntMedQuartier->ListCount(), 1);
    EXPECT_EQ(ui().Txt_CodeAntMedQuartier->Text(), "001");
}

}  // namespace
