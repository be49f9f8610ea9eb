#include "fixture.h"

#include <fstream>
#include <stdexcept>

#include "host_database.h"

namespace drive_test {

const char* const kFixtureLines =
    R"({"file":"SECTEUR","key":"001","attributes":["NORD","","AG-1","12125"]}
{"file":"SECTEUR","key":"002","attributes":["CENTRE"]}
{"file":"SECTEUR","key":"003","attributes":["EST"]}
{"file":"SOUSSECTEUR","key":"00101","attributes":["NORD A"]}
{"file":"QUARTIER","key":"0010101","attributes":["QUARTIER UN","001001"]}
{"file":"CENTREMEDICAL","key":"001","attributes":["CENTRE MÉDICAL UN"]}
{"file":"CENTREMEDICAL","key":"002","attributes":["CENTRE MÉDICAL DEUX"]}
{"file":"ANTENNEMEDICALE","key":"001001","attributes":["ANTENNE UNE"]}
{"file":"ASSOCIATION","key":"001","attributes":["ASSO A"]}
{"file":"ASSOCIATION","key":"002","attributes":["ASSO B"]}
{"file":"COMPTEUR","key":"999","attributes":["COMPTEUR"]}
{"file":"DROITS","key":"CHEF","attributes":[["SECTEUR"],["2"]]}
{"file":"DROITS","key":"AGENT","attributes":[["SECTEUR"],["1"]]}
)";

Fixture::Fixture() {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
    database_ = Dir() / "fixture.sqlite";
    host::CreateFromJsonLines(database_, WriteFile("fixture.jsonl", kFixtureLines));
}

std::filesystem::path Fixture::WriteFile(const std::string& name, const std::string& lines) const {
    const std::filesystem::path path = Dir() / name;
    std::ofstream(path) << lines;
    return path;
}

}  // namespace drive_test
