#include "services/date_service.h"

#include <algorithm>
#include <ctime>
#include <utility>
#include <vector>

namespace services {

namespace {

using namespace std::chrono;

constexpr sys_days kDayZero{1967y / December / 31};
constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;
// Enough digits for any day of the years 1 to 9999 (about 2.9 million days).
constexpr std::size_t kMaxStoredDigits = 7;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsSeparator(char c) {
    return c == '/' || c == '.' || c == '-' || c == ' ';
}
bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

int ToInt(std::string_view digits) {
    int n = 0;
    for (char c : digits) n = n * 10 + (c - '0');
    return n;
}

std::string_view Trim(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Pad2(std::string_view digits) {
    return digits.size() == 1 ? "0" + std::string(digits) : std::string(digits);
}

std::string FourDigitYear(std::string_view digits) {
    if (digits.size() == 4) return std::string(digits);
    const int yy = ToInt(digits);
    return std::to_string(yy < 50 ? 2000 + yy : 1900 + yy);
}

bool InRange(year_month_day date) {
    return static_cast<int>(date.year()) >= kFirstYear &&
           static_cast<int>(date.year()) <= kLastYear;
}

year_month_day LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return year{local.tm_year + 1900} / month{static_cast<unsigned>(local.tm_mon + 1)} /
           day{static_cast<unsigned>(local.tm_mday)};
}

// Parses the exact DD/MM/YYYY shape that Normalised produces.
std::optional<year_month_day> ParseDisplay(std::string_view text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') return std::nullopt;
    const std::string_view d = text.substr(0, 2), m = text.substr(3, 2), y = text.substr(6);
    if (!AllDigits(d) || !AllDigits(m) || !AllDigits(y)) return std::nullopt;
    const year_month_day date{year{ToInt(y)}, month{static_cast<unsigned>(ToInt(m))},
                              day{static_cast<unsigned>(ToInt(d))}};
    if (!date.ok() || !InRange(date)) return std::nullopt;
    return date;
}

}  // namespace

DateService::DateService() : DateService(LocalToday) {}

DateService::DateService(Today today) : today_(std::move(today)) {}

std::string DateService::ToStored(year_month_day date) {
    return std::to_string((sys_days{date} - kDayZero).count());
}

std::string DateService::ToDisplay(year_month_day date) {
    const auto two = [](unsigned n) { return std::string{char('0' + n / 10), char('0' + n % 10)}; };
    std::string y = std::to_string(static_cast<int>(date.year()));
    y.insert(0, 4 - std::min<std::size_t>(4, y.size()), '0');
    return two(static_cast<unsigned>(date.day())) + "/" + two(static_cast<unsigned>(date.month())) +
           "/" + y;
}

std::optional<year_month_day> DateService::FromStored(std::string_view stored) {
    const bool negative = !stored.empty() && stored.front() == '-';
    const std::string_view digits = negative ? stored.substr(1) : stored;
    if (digits.empty() || digits.size() > kMaxStoredDigits || !AllDigits(digits)) {
        return std::nullopt;
    }
    // One stored form per date: no leading zeros, and no "-0".
    if (digits.front() == '0' && (digits.size() > 1 || negative)) return std::nullopt;
    const int count = ToInt(digits);
    const year_month_day date{kDayZero + days{negative ? -count : count}};
    if (!InRange(date)) return std::nullopt;
    return date;
}

std::optional<std::string> DateService::Normalised(std::string_view text) const {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    std::vector<std::string_view> groups;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && IsDigit(text[i])) continue;
        if (i < text.size() && !IsSeparator(text[i])) return std::nullopt;
        groups.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    for (std::string_view g : groups) {
        if (g.empty()) return std::nullopt;
    }

    if (groups.size() == 1) {
        const std::string_view all = groups.front();
        if (all.size() != 6 && all.size() != 8) return std::nullopt;
        return std::string(all.substr(0, 2)) + "/" + std::string(all.substr(2, 2)) + "/" +
               FourDigitYear(all.substr(4));
    }
    if (groups.size() > 3 || groups[0].size() > 2 || groups[1].size() > 2) return std::nullopt;
    std::string yearText;
    if (groups.size() == 3) {
        if (groups[2].size() != 2 && groups[2].size() != 4) return std::nullopt;
        yearText = FourDigitYear(groups[2]);
    } else {
        yearText = ToDisplay(year_month_day{today_().year(), January, day{1}}).substr(6);
    }
    return Pad2(groups[0]) + "/" + Pad2(groups[1]) + "/" + yearText;
}

void DateService::DateNormalise(std::string& text, std::int16_t& flag) const noexcept {
    if (auto shaped = Normalised(text)) {
        text = std::move(*shaped);
    } else {
        flag = -1;
    }
}

std::string DateService::DateToStored(std::string_view text) const noexcept {
    const auto shaped = Normalised(text);
    if (!shaped) return {};
    const auto date = ParseDisplay(*shaped);
    return date ? ToStored(*date) : std::string{};
}

std::string DateService::DateToDisplay(std::string_view stored) const {
    if (stored.empty()) return {};
    const auto date = FromStored(stored);
    if (!date) {
        throw DateError("\"" + std::string(stored) + "\" is not a stored date (a day number " +
                        "counted from 31/12/1967, without leading zeros, in the years 1 to 9999)");
    }
    return ToDisplay(*date);
}

}  // namespace services
