#include "levels/resume.h"

#include <QtGlobal>

#include <string>

namespace zonitra::levels {

std::int32_t ErrorNumber(const std::exception_ptr& failure) noexcept {
    try {
        std::rethrow_exception(failure);
    } catch (const kelmor::Error& error) {
        return error.number();
    } catch (...) {
        return kUnspecifiedError;
    }
}

void LogPassedOver(std::string_view where, const std::exception_ptr& failure) noexcept {
    std::string what = "unknown failure";
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        what = error.what();
    } catch (...) {
    }
    const auto number = static_cast<std::uint32_t>(ErrorNumber(failure));
    qWarning("%.*s: step passed over after error 0x%08X: %s", static_cast<int>(where.size()),
             where.data(), number, what.c_str());
}

void ResumeSteps(std::string_view where, std::initializer_list<Step> steps) noexcept {
    for (const Step& step : steps) {
        try {
            step();
        } catch (...) {
            // A record missing here is bad data, not a probe: it is logged too.
            LogPassedOver(where, std::current_exception());
        }
    }
}

}  // namespace zonitra::levels
