#pragma once
// A medical-centre database in a temporary folder whose writes are counted,
// and small helpers to act on list widgets as an operator does.

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kelmor/backend.h"
#include "kelmor/database.h"

namespace centremed_test {

// CHEF: level 2 on SECTEUR and CENTREMEDICAL; AGENT: level 1 on both;
// STAGIAIRE: level 2 on SECTEUR, nothing on CENTREMEDICAL.
inline const std::string kChef = "CHEF", kAgent = "AGENT", kStagiaire = "STAGIAIRE";

using Written = std::pair<std::string, std::string>;  // file, key

// Forwards to the real storage and notes every successful write.
class CountingBackend : public kelmor::Backend {
public:
    explicit CountingBackend(std::shared_ptr<kelmor::Backend> inner) : inner_(std::move(inner)) {}
    std::vector<Written> TakeWrites() { return std::exchange(writes_, {}); }

    bool HasFile(std::string_view f) override { return inner_->HasFile(f); }
    void CreateFile(std::string_view f) override { inner_->CreateFile(f); }
    std::vector<std::string> FileNames() override { return inner_->FileNames(); }
    std::optional<std::string> Read(std::string_view f, std::string_view k) override {
        return inner_->Read(f, k);
    }
    void Write(std::string_view f, std::string_view k, std::string_view whole) override {
        inner_->Write(f, k, whole);
        writes_.emplace_back(std::string(f), std::string(k));
    }
    bool Delete(std::string_view f, std::string_view k) override { return inner_->Delete(f, k); }
    void Scan(std::string_view f, const kelmor::KeySelection& s, const Visitor& v) override {
        inner_->Scan(f, s, v);
    }
    void Begin() override { inner_->Begin(); }
    void Commit() override { inner_->Commit(); }
    void Rollback() noexcept override { inner_->Rollback(); }
    bool InTransaction() const noexcept override { return inner_->InTransaction(); }

private:
    std::shared_ptr<kelmor::Backend> inner_;
    std::vector<Written> writes_;
};

inline void Put(kelmor::Database& db, const char* file, const std::string& key,
                const std::string& label) {
    kelmor::DbRecord record = db.OpenFile(file).NewRecord(key);
    record.Set(1, label);
    record.DBWrite();
}

inline void PutRights(kelmor::Database& db, const std::string& user,
                      std::vector<std::string> modules, std::vector<std::string> levels) {
    kelmor::DbRecord record = db.OpenFile("DROITS").NewRecord(user);
    record.SetValues(1, modules);
    record.SetValues(2, levels);
    record.DBWrite();
}

// Centres listed ARCHE (001), BEAULIEU (004), LILAS (002): code 003 is free.
// Antennas of 001: PORTE (001001), GARE (001002); of 002: PARC (002001).
struct MedicalDatabase {
    explicit MedicalDatabase(std::vector<std::pair<std::string, std::string>> centres = {
                                 {"001", "ARCHE"}, {"002", "LILAS"}, {"004", "BEAULIEU"}}) {
        auto plain = kelmor::Database::OpenSqlite(dir.filePath("centres.db").toStdString());
        for (const char* file : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL",
                                 "ANTENNEMEDICALE", "ASSOCIATION", "COMPTEUR", "DROITS"})
            plain->CreateFile(file);
        for (const auto& [code, label] : centres) Put(*plain, "CENTREMEDICAL", code, label);
        Put(*plain, "ANTENNEMEDICALE", "001001", "PORTE");
        Put(*plain, "ANTENNEMEDICALE", "001002", "GARE");
        Put(*plain, "ANTENNEMEDICALE", "002001", "PARC");
        Put(*plain, "SECTEUR", "001", "NORD");
        Put(*plain, "COMPTEUR", "999", "3");
        PutRights(*plain, kChef, {"SECTEUR", "CENTREMEDICAL"}, {"2", "2"});
        PutRights(*plain, kAgent, {"SECTEUR", "CENTREMEDICAL"}, {"1", "1"});
        PutRights(*plain, kStagiaire, {"SECTEUR"}, {"2"});
        // The backend lives as long as the plain database that opened it.
        counter = std::make_shared<CountingBackend>(
            std::shared_ptr<kelmor::Backend>(plain, &plain->backend()));
        db = std::make_shared<kelmor::Database>(counter);
    }

    std::string Label(const char* file, const std::string& key) const {
        return db->OpenFile(file).ReadRecord(key).Get(1);
    }

    QTemporaryDir dir;
    std::shared_ptr<CountingBackend> counter;
    std::shared_ptr<kelmor::Database> db;
};

inline std::vector<std::string> Entries(const QListWidget* list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list->count(); ++i) entries.push_back(list->item(i)->text().toStdString());
    return entries;
}

// The text of the chosen (selected) entry, "" when none.
inline std::string ChosenText(const QListWidget* list) {
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? std::string() : selected.front()->text().toStdString();
}

// Clicks the entry whose text starts with `code`.
inline ::testing::AssertionResult ClickEntry(QListWidget* list, const QString& code) {
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        if (!item->text().startsWith(code)) continue;
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << list->objectName().toStdString() << " has no entry " << code.toStdString();
}

// Replaces the whole text of a line edit as typed: select all, then type.
inline void TypeOver(QWidget* edit, const QString& text) {
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
    // Character by character, accented letters included (keyClicks takes ASCII only).
    for (QChar ch : text) {
        const char16_t code = ch.toUpper().unicode();
        QTest::sendKeyEvent(QTest::Click, edit, code < 0x100 ? Qt::Key(code) : Qt::Key_unknown,
                            QString(ch), Qt::NoModifier);
    }
}

template <class Predicate>
::testing::AssertionResult Eventually(Predicate predicate, const char* what) {
    if (QTest::qWaitFor(predicate)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "timed out waiting for " << what;
}

}  // namespace centremed_test
