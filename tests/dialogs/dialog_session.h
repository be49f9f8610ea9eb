#pragma once
// The one way the dialogs' tests drive them: the sector editor on a fresh
// database, played in-process by the scripted operator (real key and mouse
// events, offscreen), the host offering the hidden medical-centre and
// document-folder buttons.

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "driver.h"

namespace dialogs_test {

using drive::Json;

class Session {
public:
    // On the demo data, or on `records` as kelmor::test::Fill takes them.
    explicit Session(const std::string& user, const std::vector<std::string>& records = {});

    // Plays the commands, one a line; returns what `state` and `record`
    // printed. A command that fails fails the test.
    std::vector<Json> Play(const std::string& script);
    drive::Driver& Driver() { return *driver_; }

    // Attributes 17 | 18 | 19 of a sector, values joined by ";": as stored,
    // and as the editor's current sector record holds them.
    std::string Stored(const std::string& key) const;
    std::string Current() const;

    // Another workstation, on its own connection, stores values in
    // attributes of sector `key`.
    void OtherWorkstationSets(const std::string& key,
                              const std::vector<std::pair<int, std::string>>& values);

private:
    QTemporaryDir dir_;
    std::string path_;
    std::shared_ptr<kelmor::Database> db_;
    std::unique_ptr<drive::Driver> driver_;
};

}  // namespace dialogs_test
