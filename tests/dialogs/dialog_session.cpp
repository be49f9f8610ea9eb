#include "dialog_session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "control/secteur_editor.h"
#include "host_database.h"
#include "kelmor/database.h"
#include "test_database.h"

namespace dialogs_test {
namespace {

std::string ApprovalsOf(const kelmor::DbRecord& record) {
    std::string text = record.Get(17) + " | " + record.Get(18) + " | " + record.Get(19);
    for (char& c : text)
        if (c == kelmor::kValueMark) c = ';';
    return text;
}

}  // namespace

Session::Session(const std::string& user, const std::vector<std::string>& records) {
    const std::string database = path_ = dir_.filePath("dialogs.sqlite").toStdString();
    if (records.empty()) {
        host::CreateFromJsonLines(database, ZONITRA_DEMO_JSONL);
        db_ = host::OpenExisting(database);
    } else {
        db_ = kelmor::Database::OpenSqlite(database);
        for (const std::string& record : records) kelmor::test::Fill(*db_, {record});
    }
    driver_ = std::make_unique<drive::Driver>(drive::Record(db_), user);
    driver_->Start();
    driver_->Editor()->OfferMedicalCentreEditor(true);
    driver_->Editor()->OfferDocumentSettings(true);
}

std::vector<Json> Session::Play(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    driver_->Play(in, out);
    std::vector<Json> printed;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        Json json = Json::parse(line);
        if (json.contains("error")) ADD_FAILURE() << json["error"];
        printed.push_back(std::move(json));
    }
    return printed;
}

std::string Session::Stored(const std::string& key) const {
    return ApprovalsOf(db_->OpenFile("SECTEUR").ReadRecord(key));
}

std::string Session::Current() const {
    const auto& record = zonitra::EditorOf(*driver_->Editor()).State().records.secteur;
    return record ? ApprovalsOf(*record) : "<none>";
}

void Session::OtherWorkstationSets(const std::string& key,
                                   const std::vector<std::pair<int, std::string>>& values) {
    const auto other = host::OpenExisting(path_);
    kelmor::DbRecord record = other->OpenFile("SECTEUR").ReadRecord(key);
    for (const auto& [attr, value] : values) record.Set(attr, value);
    record.DBWrite();
}

}  // namespace dialogs_test
