#include "control/shared_state.h"

#include <stdexcept>
#include <string>

#include "help/help_viewer.h"
#include "services/date_service.h"

namespace zonitra {

SharedState::SharedState() = default;
SharedState::~SharedState() = default;

services::DateService& SharedState::Dates() {
    if (!dates_) dates_ = std::make_unique<services::DateService>();
    return *dates_;
}

help::HelpViewer& SharedState::Help() {
    if (!help_) help_ = std::make_unique<help::HelpViewer>();
    return *help_;
}

kelmor::Database& SharedState::Db(const char* what) const {
    if (!database) {
        throw std::logic_error(std::string(what) + ": no database (TheDatabase was not set)");
    }
    return *database;
}

const kelmor::DbFile& OpenedFile(const std::optional<kelmor::DbFile>& handle, const char* name) {
    if (!handle) {
        throw std::logic_error(std::string("the file ") + name + " is not open (Init was not run)");
    }
    return *handle;
}

}  // namespace zonitra
