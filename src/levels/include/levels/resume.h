#pragma once
// Running the editor's lookups with errors resumed: a handler probes a record,
// tests the error number at once, and goes on whatever else fails.
//
// Resumed runs one call and returns its error number (0 when it completed);
// ResumeSteps runs a sequence of steps, a failing step being skipped and the
// next one run. Only the step that failed is left undone: a procedure called
// from a step stops at its own first failure (it has no handling of its own),
// and the step after it runs.
//
// What is passed over is still written to the warning log (qWarning) with the
// handler's name and the error, so that bad data never goes unnoticed by the
// people who keep the database; the not-found error of a probe is expected
// and not logged. Nothing is shown to the operator.

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string_view>

#include "kelmor/error.h"

namespace zonitra::levels {

// The number given to a failure that carries none (not a database error).
inline constexpr std::int32_t kUnspecifiedError = static_cast<std::int32_t>(0x80004005U);

// The error number of `failure`: a kelmor::Error's number, else kUnspecifiedError.
std::int32_t ErrorNumber(const std::exception_ptr& failure) noexcept;

// Writes the warning for a failure passed over in `where`.
void LogPassedOver(std::string_view where, const std::exception_ptr& failure) noexcept;

// Runs call; returns 0 when it completed, else the error number of its failure,
// which goes no further.
template <class Call>
std::int32_t Resumed(std::string_view where, Call&& call) noexcept {
    try {
        call();
        return 0;
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        const std::int32_t number = ErrorNumber(failure);
        if (number != kelmor::kNotFound) LogPassedOver(where, failure);
        return number;
    }
}

using Step = std::function<void()>;

// Runs the steps in order; a step that fails is skipped and the next one runs.
void ResumeSteps(std::string_view where, std::initializer_list<Step> steps) noexcept;

}  // namespace zonitra::levels
