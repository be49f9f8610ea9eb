#include "services/date_service.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

namespace {

using namespace std::chrono;
using services::DateError;
using services::DateService;

// A fixed "today" so that D/M without a year does not depend on the clock.
DateService Service(year_month_day today = 2026y / June / 15) {
    return DateService([today] { return today; });
}

std::string Two(unsigned n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

struct Shapes {
    std::string display;  // DD/MM/YYYY
    std::string loose;    // D/M/YYYY, no padding
    std::string dotted;   // DD.MM.YYYY
    std::string packed8;  // DDMMYYYY
};

Shapes ShapesOf(year_month_day date) {
    const unsigned d = static_cast<unsigned>(date.day());
    const unsigned m = static_cast<unsigned>(date.month());
    const std::string y = std::to_string(static_cast<int>(date.year()));
    return {Two(d) + "/" + Two(m) + "/" + y, std::to_string(d) + "/" + std::to_string(m) + "/" + y,
            Two(d) + "." + Two(m) + "." + y, Two(d) + Two(m) + y};
}

template <typename Check>
void ForEveryDay(Check check) {
    for (sys_days day = sys_days{1900y / January / 1}; day <= sys_days{2100y / December / 31};
         day += days{1}) {
        check(year_month_day{day});
    }
}

TEST(DateServiceTest, KnownStoredForms) {
    const DateService dates = Service();
    EXPECT_EQ(dates.DateToStored("31/12/1967"), "0");
    EXPECT_EQ(dates.DateToStored("01/01/1968"), "1");
    EXPECT_EQ(dates.DateToStored("30/12/1967"), "-1");
    EXPECT_EQ(dates.DateToStored("12/03/2001"), "12125");
    EXPECT_EQ(dates.DateToDisplay("12125"), "12/03/2001");
    EXPECT_EQ(dates.DateToDisplay("-1"), "30/12/1967");
    EXPECT_EQ(dates.DateToDisplay("2933628"), "31/12/9999");
    EXPECT_EQ(dates.DateToDisplay("-718430"), "01/01/0001");
    EXPECT_EQ(dates.DateToDisplay(""), "");
}

// Every shape of every day is stored, and shown back as the normalised text.
TEST(DateServiceTest, StoredThenDisplayedGivesTheNormalisedTextEveryDay) {
    const DateService dates = Service();
    int failures = 0;
    ForEveryDay([&](year_month_day date) {
        const Shapes s = ShapesOf(date);
        for (const std::string& typed : {s.display, s.loose, s.dotted, s.packed8}) {
            const std::string stored = dates.DateToStored(typed);
            if (stored.empty() || dates.DateToDisplay(stored) != s.display) {
                ADD_FAILURE() << typed << " stored as \"" << stored << "\"";
                if (++failures > 10) return;
            }
        }
    });
}

// Day numbers are consecutive, so each day has its own text and no two days
// share one; every shape of a day gives that same text.
TEST(DateServiceTest, EveryDayHasExactlyOneStoredForm) {
    const DateService dates = Service();
    long expected = (sys_days{1900y / January / 1} - sys_days{1967y / December / 31}).count();
    int failures = 0;
    ForEveryDay([&](year_month_day date) {
        const Shapes s = ShapesOf(date);
        const std::string stored = dates.DateToStored(s.display);
        const bool same =
            stored == std::to_string(expected) && dates.DateToStored(s.loose) == stored &&
            dates.DateToStored(s.dotted) == stored && dates.DateToStored(s.packed8) == stored;
        if (!same && ++failures <= 10) ADD_FAILURE() << s.display << " stored as " << stored;
        ++expected;
    });
}

// Two-digit years cover 1950 to 2049 only.
TEST(DateServiceTest, TwoDigitYearsEveryDayFrom1950To2049) {
    const DateService dates = Service();
    int failures = 0;
    ForEveryDay([&](year_month_day date) {
        const int y = static_cast<int>(date.year());
        if (y < 1950 || y > 2049) return;
        const Shapes s = ShapesOf(date);
        const std::string yy = s.display.substr(8);
        for (const std::string& typed :
             {s.display.substr(0, 6) + yy, s.packed8.substr(0, 4) + yy}) {
            std::string text = typed;
            std::int16_t flag = 0;
            dates.DateNormalise(text, flag);
            if ((flag != 0 || text != s.display) && ++failures <= 10) {
                ADD_FAILURE() << typed << " normalised to " << text << " flag " << flag;
            }
        }
    });
}

TEST(DateServiceTest, NormaliseNeverThrowsAndStoredIsEmptyForNoise) {
    const DateService dates = Service();
    std::mt19937 random(20260615);
    const std::string alphabet = "0123456789/.- aZé\t+";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int length = static_cast<int>(random() % 12);
        for (int c = 0; c < length; ++c) text += alphabet[random() % alphabet.size()];
        std::string normalised = text;
        std::int16_t flag = 0;
        EXPECT_NO_THROW(dates.DateNormalise(normalised, flag));
        ASSERT_TRUE(flag == 0 || flag == -1);
        const std::string stored = dates.DateToStored(text);
        // A text is accepted only when its normalised form is, and then both agree.
        if (flag == -1) {
            EXPECT_EQ(stored, "") << text;
            EXPECT_EQ(normalised, text) << "a flagged text is left as typed";
        } else if (!stored.empty()) {
            EXPECT_EQ(dates.DateToDisplay(stored), normalised) << text;
        }
    }
}

struct NormaliseCase {
    const char* typed;
    const char* normalised;  // nullptr: the flag is set and the text left as typed
    bool valid;              // DateToStored accepts the normalised text
};

class DateNormaliseTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(DateNormaliseTest, ShapesTheTextOrSetsTheFlag) {
    const NormaliseCase& c = GetParam();
    const DateService dates = Service();
    std::string text = c.typed;
    std::int16_t flag = 0;
    dates.DateNormalise(text, flag);
    if (c.normalised == nullptr) {
        EXPECT_EQ(flag, -1);
        EXPECT_EQ(text, c.typed);
        EXPECT_EQ(dates.DateToStored(c.typed), "");
        return;
    }
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(text, c.normalised);
    EXPECT_EQ(dates.DateToStored(text).empty(), !c.valid);
    EXPECT_EQ(dates.DateToStored(c.typed), dates.DateToStored(text));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, DateNormaliseTest,
    ::testing::Values(
        NormaliseCase{"12/03/2001", "12/03/2001", true},
        NormaliseCase{"1/3/2001", "01/03/2001", true}, NormaliseCase{"12/3/01", "12/03/2001", true},
        NormaliseCase{"12/03/49", "12/03/2049", true},
        NormaliseCase{"12/03/50", "12/03/1950", true},
        NormaliseCase{"12/03/99", "12/03/1999", true},
        NormaliseCase{"12/03/00", "12/03/2000", true}, NormaliseCase{"120301", "12/03/2001", true},
        NormaliseCase{"12032001", "12/03/2001", true},
        NormaliseCase{"12.03.2001", "12/03/2001", true},
        NormaliseCase{"12-03-2001", "12/03/2001", true},
        NormaliseCase{"12 03 2001", "12/03/2001", true},
        NormaliseCase{"  12/03/2001 ", "12/03/2001", true},
        NormaliseCase{"5/7", "05/07/2026", true}, NormaliseCase{"29/02/2000", "29/02/2000", true},
        NormaliseCase{"01/01/0001", "01/01/0001", true},
        // Well shaped but impossible: no flag, DateToStored refuses.
        NormaliseCase{"31/02/2001", "31/02/2001", false},
        NormaliseCase{"29/02/1900", "29/02/1900", false},
        NormaliseCase{"29/02/2100", "29/02/2100", false},
        NormaliseCase{"00/03/2001", "00/03/2001", false},
        NormaliseCase{"12/13/2001", "12/13/2001", false},
        NormaliseCase{"320101", "32/01/2001", false},
        NormaliseCase{"01/01/0000", "01/01/0000", false},
        NormaliseCase{"31/4", "31/04/2026", false},
        // Cannot be shaped: the flag.
        NormaliseCase{"", nullptr, false}, NormaliseCase{"   ", nullptr, false},
        NormaliseCase{"12/O3/2001", nullptr, false}, NormaliseCase{"demain", nullptr, false},
        NormaliseCase{"12//2001", nullptr, false}, NormaliseCase{"/03/2001", nullptr, false},
        NormaliseCase{"12/03/", nullptr, false}, NormaliseCase{"1/2/3/4", nullptr, false},
        NormaliseCase{"12", nullptr, false}, NormaliseCase{"1203", nullptr, false},
        NormaliseCase{"1203200", nullptr, false}, NormaliseCase{"120320011", nullptr, false},
        NormaliseCase{"123/03/2001", nullptr, false}, NormaliseCase{"12/003/2001", nullptr, false},
        NormaliseCase{"12/03/1", nullptr, false}, NormaliseCase{"12/03/201", nullptr, false},
        NormaliseCase{"12/03/20011", nullptr, false}, NormaliseCase{"12/03/2001+", nullptr, false},
        NormaliseCase{"12\xC3\xA9/03/2001", nullptr, false}));

TEST(DateServiceTest, DayMonthTakesTheInjectedYear) {
    std::string text = "5/7";
    std::int16_t flag = 0;
    Service(1999y / December / 31).DateNormalise(text, flag);
    EXPECT_EQ(text, "05/07/1999");
    EXPECT_EQ(Service(2004y / January / 1).DateToStored("29/02"), "13209");
    EXPECT_EQ(Service(2005y / January / 1).DateToStored("29/02"), "");
}

TEST(DateServiceTest, FlagIsOnlyEverSet) {
    const DateService dates = Service();
    std::string text = "12/03/2001";
    std::int16_t flag = -1;
    dates.DateNormalise(text, flag);
    EXPECT_EQ(flag, -1);
    EXPECT_EQ(text, "12/03/2001");
}

class BadStoredTest : public ::testing::TestWithParam<const char*> {};

TEST_P(BadStoredTest, DisplayRefusesWithTheText) {
    const DateService dates = Service();
    try {
        dates.DateToDisplay(GetParam());
        FAIL() << "accepted " << GetParam();
    } catch (const DateError& e) {
        EXPECT_NE(std::string(e.what()).find(std::string("\"") + GetParam() + "\""),
                  std::string::npos);
    }
}

// Leading zeros and "-0" would give a date a second text.
INSTANTIATE_TEST_SUITE_P(NotStoredForms, BadStoredTest,
                         ::testing::Values("012125", "-0", "00", "+5", "12 125", "12/03/2001",
                                           "abc", "-", "99999999", "2933629", "-718431"));

}  // namespace
