// Dates: the round trip, one stored form per day and the flag, as properties
// over every day from 1900 to 2100, plus the shapes an operator types.

#include "services/date_service.h"

#include <gmock/gmock.h>

#include <chrono>
#include <random>
#include <string>

namespace {

using namespace std::chrono;
using services::DateService;

// A fixed "today" so that D/M without a year does not depend on the clock.
DateService Service(year_month_day today = 2026y / June / 15) {
    return DateService([today] { return today; });
}

std::string Two(unsigned n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

// Every typed shape of every day normalises without the flag to DD/MM/YYYY,
// is stored as the next day number (so each day has exactly one stored form)
// and is displayed back as the normalised text.
TEST(DateProperties, EveryDayFrom1900To2100) {
    const DateService dates = Service();
    long number = (sys_days{1900y / January / 1} - sys_days{1967y / December / 31}).count();
    int failures = 0;
    for (sys_days day = sys_days{1900y / January / 1}; day <= sys_days{2100y / December / 31};
         day += days{1}, ++number) {
        const year_month_day date{day};
        const unsigned d = static_cast<unsigned>(date.day()),
                       m = static_cast<unsigned>(date.month());
        const int y = static_cast<int>(date.year());
        const std::string yyyy = std::to_string(y), yy = yyyy.substr(2);
        const std::string display = Two(d) + "/" + Two(m) + "/" + yyyy;
        std::vector<std::string> typed = {
            display, std::to_string(d) + "/" + std::to_string(m) + "/" + yyyy,
            Two(d) + "." + Two(m) + "." + yyyy, Two(d) + Two(m) + yyyy};
        if (y >= 1950 && y <= 2049)
            typed.insert(typed.end(), {Two(d) + "/" + Two(m) + "/" + yy, Two(d) + Two(m) + yy});
        for (const std::string& t : typed) {
            std::string text = t;
            std::int16_t flag = 0;
            dates.DateNormalise(text, flag);
            const std::string stored = dates.DateToStored(t);
            if ((flag != 0 || text != display || stored != std::to_string(number) ||
                 dates.DateToDisplay(stored) != display) &&
                ++failures <= 10)
                ADD_FAILURE() << t << " -> " << text << " flag " << flag << " stored " << stored;
        }
    }
}

// Random noise: never throws, a flagged text is left as typed and never
// stored, and an accepted text displays as its normalised form.
TEST(DateProperties, NoiseIsFlaggedOrRefusedNeverThrown) {
    const DateService dates = Service();
    std::mt19937 random(20260615);
    const std::string alphabet = "0123456789/.- aZé\t+";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (int c = static_cast<int>(random() % 12); c > 0; --c)
            text += alphabet[random() % alphabet.size()];
        std::string normalised = text;
        std::int16_t flag = 0;
        dates.DateNormalise(normalised, flag);
        const std::string stored = dates.DateToStored(text);
        if (flag != 0) {
            EXPECT_EQ(flag, -1);
            EXPECT_EQ(stored, "") << text;
            EXPECT_EQ(normalised, text);
        } else if (!stored.empty()) {
            EXPECT_EQ(dates.DateToDisplay(stored), normalised) << text;
        }
    }
}

struct Shape {
    const char* typed;
    const char* normalised;  // nullptr: the flag is set and the text left as typed
    bool valid;              // DateToStored accepts the normalised text
};

class DateNormalise : public ::testing::TestWithParam<Shape> {};

TEST_P(DateNormalise, ShapesTheTextOrSetsTheFlag) {
    const Shape& c = GetParam();
    const DateService dates = Service();
    std::string text = c.typed;
    std::int16_t flag = 0;
    dates.DateNormalise(text, flag);
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(flag, c.normalised ? 0 : -1);
    EXPECT_EQ(text, c.normalised ? c.normalised : c.typed);
    EXPECT_EQ(dates.DateToStored(c.typed).empty(), !c.valid);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Shapes, DateNormalise, ::testing::Values(
    // The shapes every day is typed in are checked above.
    Shape{"12/3/01", "12/03/2001", true},    Shape{"12-03-2001", "12/03/2001", true},
    Shape{"  12 03 2001 ", "12/03/2001", true}, Shape{"5/7", "05/07/2026", true},
    // Well shaped but impossible: no flag, DateToStored refuses.
    Shape{"31/02/2001", "31/02/2001", false}, Shape{"29/02/2100", "29/02/2100", false},
    Shape{"00/03/2001", "00/03/2001", false}, Shape{"12/13/2001", "12/13/2001", false},
    Shape{"320101", "32/01/2001", false},     Shape{"31/4", "31/04/2026", false},
    // Cannot be shaped: the flag.
    Shape{"", nullptr, false},           Shape{"12/O3/2001", nullptr, false},
    Shape{"demain", nullptr, false},     Shape{"12//2001", nullptr, false},
    Shape{"12/03/", nullptr, false},     Shape{"1/2/3/4", nullptr, false},
    Shape{"1203", nullptr, false},       Shape{"1203200", nullptr, false},
    Shape{"123/03/2001", nullptr, false}, Shape{"12/03/201", nullptr, false}));
// clang-format on

TEST(DateService, KnownFormsAndRefusedStoredTexts) {
    const DateService dates = Service();
    EXPECT_EQ(dates.DateToStored("31/12/1967"), "0");
    EXPECT_EQ(dates.DateToStored("30/12/1967"), "-1");
    EXPECT_EQ(dates.DateToStored("12/03/2001"), "12125");
    EXPECT_EQ(dates.DateToDisplay(""), "");
    EXPECT_EQ(Service(2004y / January / 1).DateToStored("29/02"), "13209");
    EXPECT_EQ(Service(2005y / January / 1).DateToStored("29/02"), "");
    // Leading zeros or "-0" would give a date a second text.
    for (const char* bad : {"012125", "-0", "+5", "12/03/2001", "abc", "2933629"})
        EXPECT_THAT([&] { dates.DateToDisplay(bad); },
                    testing::ThrowsMessage<services::DateError>(
                        testing::HasSubstr(std::string("\"") + bad + "\"")));
}

}  // namespace
