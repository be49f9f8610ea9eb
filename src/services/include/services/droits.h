#pragma once
// Access rights of a user, kept in the database file DROITS:
//   key         = user name (exact, case-sensitive)
//   attribute 1 = module names, one value each
//   attribute 2 = the level of each module, the value parallel to its name
// Level 2 allows creating and changing; other levels are the caller's to read.
//
// A user without a DROITS record, a module not listed for the user, or a module
// whose level value is empty has level 0. When a module is listed twice, its
// first occurrence counts.
//
// Errors are never turned into level 0: a database without the DROITS file
// (a set-up fault, not "no rights") is reported by the constructor as a
// kelmor::Error numbered kelmor::kNoSuchFile naming DROITS and the user; a
// level that is not a whole number is reported by ModuleRights as a RightsError.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor {
class Database;
}

namespace services {

inline constexpr std::string_view kRightsFile = "DROITS";
inline constexpr std::int32_t kLevelModify = 2;

// A level in DROITS that is not a whole number fitting 32 bits.
class RightsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The rights of one user on one module.
class ModuleAccess {
public:
    ModuleAccess(std::string module, std::int32_t level)
        : module_(std::move(module)), level_(level) {}
    const std::string& Module() const { return module_; }
    std::int32_t AccessLevel() const { return level_; }

private:
    std::string module_;
    std::int32_t level_;
};

// The rights of one user, read once from DROITS when constructed; later changes
// to DROITS are seen by a new object only.
class DroitsUtilisateur {
public:
    DroitsUtilisateur(const kelmor::Database& database, std::string user);
    const std::string& User() const { return user_; }
    ModuleAccess ModuleRights(std::string_view module) const;

private:
    std::string user_;
    std::vector<std::string> modules_;
    std::vector<std::string> levels_;
};

}  // namespace services
