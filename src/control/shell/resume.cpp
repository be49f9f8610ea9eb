#include "control/resume.h"

#include <QtGlobal>

#include <string>

namespace zonitra {

std::int32_t ErrorNumber(const std::exception_ptr& failure) noexcept {
    try {
        std::rethrow_exception(failure);
    } catch (const kelmor::Error& error) {
        return error.number();
    } catch (...) {
        return kUnspecifiedError;
    }
}

// A record missing in a statement that is not a probe is bad data: it is
// logged like any other failure.
std::int32_t ErrorsResumed::PassOver(const std::exception_ptr& failure,
                                     bool logNotFound) const noexcept {
    const std::int32_t number = ErrorNumber(failure);
    if (number == kelmor::kNotFound && !logNotFound) return number;
    std::string what = "unknown failure";
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        what = error.what();
    } catch (...) {
    }
    qWarning("%.*s: step passed over after error 0x%08X: %s", static_cast<int>(where_.size()),
             where_.data(), static_cast<std::uint32_t>(number), what.c_str());
    return number;
}

}  // namespace zonitra
