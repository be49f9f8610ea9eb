#pragma once
// The sector editor over a small database, played by the scripted operator:
//   ASSOCIATION 001 AIDE À DOMICILE, 002 SOLIDARITÉ, 004 FOYERS, 007 ÉCLAT (listed by label)
//   SECTEUR     approvals as kBefore gives them; 100 has one sub-sector whose one
//               neighbourhood is linked to antenna 005001
//   DROITS      CHEF level 2, AGENT level 1 on SECTEUR

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"

namespace agrement_test {

using drive::Json;
using Texts = std::vector<std::string>;

// Attributes 17 | 18 | 19 of each sector, values joined by ";".
extern const std::map<std::string, std::string> kBefore;

class Agrement {
public:
    // Over the fixture, or over the records of the JSON-lines file `lines`.
    explicit Agrement(const std::string& user = "CHEF", const std::string& lines = {});
    // The states printed; a command that fails fails the test.
    std::vector<Json> Play(const std::string& script);
    drive::Driver& Driver() { return *driver_; }
    // Attributes 17 | 18 | 19 of the sector as stored, and of the editor's
    // current sector record in memory.
    std::string Stored(const std::string& key) const;
    std::string Current() const;

private:
    QTemporaryDir dir_;
    std::shared_ptr<kelmor::Database> db_;
    std::unique_ptr<drive::Driver> driver_;
};

// The dialog's code|label|date|number|, then E or - for Txt_CodAsso, Cbo_Asso,
// Txt_Date, Txt_Num, Cmd_Ok, Cmd_Annuler, Cmd_Sup and Cmd_Retour being enabled.
std::string Screen(const Json& state);
// Each message box's text, then its buttons unless it has OK alone; each is
// checked for its title and icon.
Texts Messages(const Json& state);

inline const std::string kChoosing = "||||EE-----E";
inline const std::string kNew = "--EEEE--", kFound = "--EEEEE-";

}  // namespace agrement_test
