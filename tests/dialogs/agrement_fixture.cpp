#include "agrement_fixture.h"

#include <fstream>
#include <sstream>

#include "control/secteur_editor.h"
#include "host_database.h"
#include "kelmor/database.h"

namespace agrement_test {
namespace {

const char* const kLines = R"({"file":"ASSOCIATION","key":"001","attributes":["AIDE À DOMICILE"]}
{"file":"ASSOCIATION","key":"002","attributes":["SOLIDARITÉ"]}
{"file":"ASSOCIATION","key":"004","attributes":["FOYERS"]}
{"file":"ASSOCIATION","key":"007","attributes":["ÉCLAT"]}
{"file":"SOUSSECTEUR","key":"10001","attributes":["SS"]}
{"file":"QUARTIER","key":"1000101","attributes":["Q","005001"]}
{"file":"CENTREMEDICAL","key":"005","attributes":["ARCHE"]}
{"file":"ANTENNEMEDICALE","key":"005001","attributes":["PONT"]}
{"file":"COMPTEUR","key":"999","attributes":["1"]}
{"file":"DROITS","key":"CHEF","attributes":["SECTEUR","2"]}
{"file":"DROITS","key":"AGENT","attributes":["SECTEUR","1"]}
)";

std::vector<std::string> Split(const std::string& text, const std::string& by) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find(by, begin)) != std::string::npos;
         begin = end + by.size())
        parts.push_back(text.substr(begin, end - begin));
    parts.push_back(text.substr(begin));
    return parts;
}

// Attribute 21 follows the approvals, to be kept as it is.
std::string SectorLine(const std::string& key, const std::string& approvals) {
    Json attributes(std::vector<Json>(21, ""));
    attributes[0] = "S" + key;
    attributes[20] = "69";
    const std::vector<std::string> lists = Split(approvals, " | ");
    for (std::size_t i = 0; i < lists.size(); ++i)
        if (!lists[i].empty()) attributes[16 + i] = Split(lists[i], ";");
    return Json{{"file", "SECTEUR"}, {"key", key}, {"attributes", attributes}}.dump() + "\n";
}

std::string ApprovalsOf(const kelmor::DbRecord& record) {
    std::string text = record.Get(17) + " | " + record.Get(18) + " | " + record.Get(19);
    for (char& c : text)
        if (c == kelmor::kValueMark) c = ';';
    return text;
}

}  // namespace

const std::map<std::string, std::string> kBefore = {
    {"100", " |  | "},
    {"200", "002 | 12125 | AG-2"},
    {"300", "001;004 | 18874;19531 | AG-1;AG-4"},
    {"500", "001;002;004 | 19274;19373;19756 | N1;N2;N4"},
    {"600", "001;004 | 18874 | AG-1;AG-4;ORPHAN"}};  // lists of different lengths

Agrement::Agrement(const std::string& user, const std::string& given) {
    const std::string lines = given.empty() ? dir_.filePath("fixture.jsonl").toStdString() : given;
    const std::string database = dir_.filePath("fixture.db").toStdString();
    if (given.empty()) {
        std::ofstream out(lines);
        out << kLines;
        for (const auto& [key, approvals] : kBefore) out << SectorLine(key, approvals);
    }
    host::CreateFromJsonLines(database, lines);
    db_ = host::OpenExisting(database);
    driver_ = std::make_unique<drive::Driver>(drive::Record(db_), user);
    driver_->Start();
}

std::vector<Json> Agrement::Play(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    driver_->Play(in, out);
    std::vector<Json> states;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        Json json = Json::parse(line);
        if (json.contains("error")) ADD_FAILURE() << json["error"];
        states.push_back(std::move(json));
    }
    return states;
}

std::string Agrement::Stored(const std::string& key) const {
    return ApprovalsOf(db_->OpenFile("SECTEUR").ReadRecord(key));
}

std::string Agrement::Current() const {
    const auto& record = zonitra::EditorOf(*driver_->Editor()).State().records.secteur;
    return record ? ApprovalsOf(*record) : "<none>";
}

std::string Screen(const Json& state) {
    const Json& c = state["controls"];
    std::string screen;
    for (const char* name : {"Txt_CodAsso", "Cbo_Asso", "Txt_Date", "Txt_Num"})
        screen += c[name]["text"].get<std::string>() + "|";
    for (const char* name : {"Txt_CodAsso", "Cbo_Asso", "Txt_Date", "Txt_Num", "Cmd_Ok",
                             "Cmd_Annuler", "Cmd_Sup", "Cmd_Retour"})
        screen += c[name]["enabled"].get<bool>() ? 'E' : '-';
    return screen;
}

Texts Messages(const Json& state) {
    Texts texts;
    for (const Json& m : state["messages"]) {
        EXPECT_EQ(m["title"], "Message ORVANIS");
        EXPECT_EQ(m["icon"], "exclamation");
        std::string text = m["text"];
        if (m["buttons"] != Json{"OK"}) text += " " + m["buttons"].dump();
        texts.push_back(text);
    }
    return texts;
}

}  // namespace agrement_test
