#pragma once
// Conversion between the dates an operator types and the form kept in records.
//
// Display form: DD/MM/YYYY, always ten characters, year 0001 to 9999.
// Stored form: the day number counted from 31/12/1967 (day 0), as decimal text
// without leading zeros or "+" ("12125" is 12/03/2001, "-1" is 30/12/1967).
// Every date has exactly one stored form, so two stored dates are the same day
// exactly when their texts are equal. The texts do not sort in date order
// ("9" < "10" fails as text); order them by their numeric value when needed.
//
// Typed shapes accepted by DateNormalise (and therefore by DateToStored):
// - D/M/Y with 1-2 digit day and month and a 2 or 4 digit year; "/", ".", "-"
//   and " " all separate groups; spaces around the whole text are ignored.
// - D/M without a year: the current year (see Today).
// - DDMMYY and DDMMYYYY without separators.
// Two-digit years 00-49 are 20xx, 50-99 are 19xx.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace services {

// Thrown by DateToDisplay for a text that is not a stored date.
class DateError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

class DateService {
public:
    // Gives the date that "current year" refers to.
    using Today = std::function<std::chrono::year_month_day()>;

    // Uses the local date of the machine.
    DateService();
    explicit DateService(Today today);

    // The stored form of any text DateNormalise shapes into a real calendar
    // date; "" otherwise (empty text, letters, 31/02/2001, ...). Never throws.
    std::string DateToStored(std::string_view text) const noexcept;

    // DD/MM/YYYY of a stored date; "" for "". Throws DateError for any other
    // text that is not a stored form (leading zeros, signs, letters, or a day
    // outside the years 1 to 9999): such a value can only come from bad data.
    std::string DateToDisplay(std::string_view stored) const;

    // Completes a typed date into DD/MM/YYYY in `text`. When the text cannot be
    // shaped into a date (letters, empty text or empty group, too many groups,
    // groups of the wrong length) it sets `flag` to -1 and leaves `text` as it
    // was. A well-shaped impossible date (31/02/2001, 00/13/2001) is shaped
    // without the flag: DateToStored is the check for those. The flag is never
    // cleared here. Never throws.
    void DateNormalise(std::string& text, std::int16_t& flag) const noexcept;

    // Building blocks, exposed for callers that work with calendar dates.
    static std::string ToStored(std::chrono::year_month_day date);
    static std::string ToDisplay(std::chrono::year_month_day date);
    // The date of a stored form, or nothing when `stored` is not one.
    static std::optional<std::chrono::year_month_day> FromStored(std::string_view stored);

private:
    // The normalised text, or nothing when the shape is wrong.
    std::optional<std::string> Normalised(std::string_view text) const;
    Today today_;
};

}  // namespace services
