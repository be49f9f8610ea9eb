#pragma once
// A small database for the scripted operator's tests, built in a temporary
// folder from JSON lines: three sectors (listed CENTRE, EST, NORD), one
// sub-sector and neighbourhood, two medical centres, two legal entities, the
// counter record, and two users: CHEF (level 2 on SECTEUR) and AGENT (level 1).

#include <QTemporaryDir>
#include <filesystem>
#include <string>

namespace drive_test {

class Fixture {
public:
    Fixture();
    const std::filesystem::path& Database() const { return database_; }
    std::filesystem::path Dir() const { return dir_.path().toStdString(); }
    // Writes `lines` to a file of the folder and returns its path.
    std::filesystem::path WriteFile(const std::string& name, const std::string& lines) const;

private:
    QTemporaryDir dir_;
    std::filesystem::path database_;
};

extern const char* const kFixtureLines;

}  // namespace drive_test
