#pragma once
// Running a handler with errors resumed: the handler probes a record, tests
// the error number at once, and goes on whatever else fails.
//
//     ErrorsResumed steps("Txt_CodeSecteur_Change");
//     if (steps.Probe([&] { record = file.ReadRecord(key); }) == kelmor::kNotFound) ...
//     steps.Run([&] { Vider_SousSecteur(); });
//     steps.Run([&] { forms::SetFocus(ui.Txt_CodeSousSecteur); });
//
// Each Run is one statement of the handler: when it fails, that statement is
// left undone and the next one runs. A procedure called from a statement
// stops at its own first failure (it has no handling of its own), and the
// statement after it runs.
//
// What is passed over is still written to the warning log (qWarning) with the
// handler's name and the error, so that bad data never goes unnoticed by the
// people who keep the database; the not-found error of a probe is expected
// and not logged. Nothing is shown to the operator.

#include <cstdint>
#include <exception>
#include <string_view>
#include <utility>

#include "kelmor/error.h"

namespace zonitra {

// The number given to a failure that carries none (not a database error).
inline constexpr std::int32_t kUnspecifiedError = static_cast<std::int32_t>(0x80004005U);

// The error number of `failure`: a kelmor::Error's number, else kUnspecifiedError.
std::int32_t ErrorNumber(const std::exception_ptr& failure) noexcept;

class ErrorsResumed {
public:
    // `where` names the handler in the log; it must outlive this object.
    explicit ErrorsResumed(std::string_view where) noexcept : where_(where) {}

    // Runs one statement; returns 0 when it completed, else the error number
    // of its failure, which is logged and goes no further.
    template <class Statement>
    std::int32_t Run(Statement&& statement) noexcept {
        try {
            std::forward<Statement>(statement)();
            return 0;
        } catch (...) {
            return PassOver(std::current_exception(), true);
        }
    }

    // Runs a probing read: as Run, but "no such record" (kelmor::kNotFound)
    // is the expected answer and is not logged.
    template <class Read>
    std::int32_t Probe(Read&& read) noexcept {
        try {
            std::forward<Read>(read)();
            return 0;
        } catch (...) {
            return PassOver(std::current_exception(), false);
        }
    }

private:
    std::int32_t PassOver(const std::exception_ptr& failure, bool logNotFound) const noexcept;

    std::string_view where_;
};

}  // namespace zonitra
