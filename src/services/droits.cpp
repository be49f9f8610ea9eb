#include "services/droits.h"

#include <charconv>

#include "kelmor/database.h"

namespace services {

DroitsUtilisateur::DroitsUtilisateur(const kelmor::Database& database, std::string user)
    : user_(std::move(user)) {
    if (!database.HasFile(kRightsFile)) {
        throw kelmor::Error(kelmor::kNoSuchFile,
                            "the rights file " + std::string(kRightsFile) +
                                " does not exist in this database, so the rights of user \"" +
                                user_ + "\" cannot be read");
    }
    const kelmor::ReadResult read = database.OpenFile(kRightsFile).TryReadRecord(user_);
    if (read.error == kelmor::kNotFound) return;
    if (!read) {
        throw kelmor::Error(read.error, "reading the rights of user \"" + user_ + "\" in " +
                                            std::string(kRightsFile) + ": " + read.message);
    }
    modules_ = read.record->Values(1);
    levels_ = read.record->Values(2);
}

ModuleAccess DroitsUtilisateur::ModuleRights(std::string_view module) const {
    for (std::size_t i = 0; i < modules_.size(); ++i) {
        if (modules_[i] != module) continue;
        const std::string level = i < levels_.size() ? levels_[i] : std::string{};
        if (level.empty()) return ModuleAccess(std::string(module), 0);
        std::int32_t value = 0;
        const char* end = level.data() + level.size();
        const auto [ptr, ec] = std::from_chars(level.data(), end, value);
        if (ec != std::errc{} || ptr != end) {
            throw RightsError("the level of module \"" + std::string(module) + "\" for user \"" +
                              user_ + "\" in " + std::string(kRightsFile) + " is \"" + level +
                              "\", not a whole number");
        }
        return ModuleAccess(std::string(module), value);
    }
    return ModuleAccess(std::string(module), 0);
}

}  // namespace services
