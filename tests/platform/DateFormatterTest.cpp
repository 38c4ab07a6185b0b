#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/Clock.h"
#include "platform/DateFormatter.h"

using namespace platform;

namespace {

// Central European time without needing the zone database.
class CentralEuropeanTime : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        if (old) saved_ = old;
        hadTz_ = old != nullptr;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", saved_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::string saved_;
    bool hadTz_ = false;
};

// 2024-03-05 07:08:09 in Central European (winter) time.
const Date march5 = Date(1709618889.0);

}  // namespace

TEST_F(CentralEuropeanTime, FormatsTheFixedPatternsInLocalTime) {
    EXPECT_EQ(DateFormatter::format(march5, "yyyy-MM-dd HH:mm:ss"), "2024-03-05 07:08:09");
    EXPECT_EQ(DateFormatter::format(march5, "dd.MM.yyyy"), "05.03.2024");
    EXPECT_EQ(DateFormatter::format(march5, "dd.MM.yyyy HH:mm:ss"), "05.03.2024 07:08:09");
    EXPECT_EQ(DateFormatter::format(march5, "yyyyMMdd_HHmmss"), "20240305_070809");
    EXPECT_EQ(DateFormatter::format(march5, "yyyyMMdd_HHmm"), "20240305_0708");
    EXPECT_EQ(DateFormatter::format(march5, "HHmmss"), "070809");
    EXPECT_EQ(DateFormatter::format(march5, "yyyy-MM-dd"), "2024-03-05");
    // Summer time is one hour further.
    EXPECT_EQ(DateFormatter::format(Date(1719810000.0), "yyyy-MM-dd HH:mm:ss"),
              "2024-07-01 07:00:00");
}

TEST_F(CentralEuropeanTime, ParsesTheFixedPatternsInLocalTime) {
    EXPECT_EQ(DateFormatter::parse("2024-03-05 07:08:09", "yyyy-MM-dd HH:mm:ss"), march5);
    EXPECT_EQ(DateFormatter::parse("20240305_070809", "yyyyMMdd_HHmmss"), march5);
    EXPECT_EQ(DateFormatter::parse("05.03.2024 07:08:09", "dd.MM.yyyy HH:mm:ss"), march5);
    auto day = DateFormatter::parse("05.03.2024", "dd.MM.yyyy");
    ASSERT_TRUE(day);
    EXPECT_EQ(DateFormatter::format(*day, "yyyy-MM-dd HH:mm:ss"), "2024-03-05 00:00:00");
    // Single digits where the fields are not adjacent.
    EXPECT_EQ(DateFormatter::parse("5.3.2024", "dd.MM.yyyy"), day);
}

TEST_F(CentralEuropeanTime, RejectsTextThatDoesNotMatch) {
    EXPECT_FALSE(DateFormatter::parse("", "dd.MM.yyyy"));
    EXPECT_FALSE(DateFormatter::parse("31.02.2024", "dd.MM.yyyy"));
    EXPECT_FALSE(DateFormatter::parse("05.13.2024", "dd.MM.yyyy"));
    EXPECT_FALSE(DateFormatter::parse("05.03.2024x", "dd.MM.yyyy"));
    EXPECT_FALSE(DateFormatter::parse("2024-03-05", "dd.MM.yyyy"));
    EXPECT_FALSE(DateFormatter::parse("2024-03-05 25:00:00", "yyyy-MM-dd HH:mm:ss"));
    EXPECT_FALSE(DateFormatter::parse("2024030_070809", "yyyyMMdd_HHmmss"));
    EXPECT_TRUE(DateFormatter::parse("29.02.2024", "dd.MM.yyyy"));
}

TEST_F(CentralEuropeanTime, HttpDatesAreGmtAndOtherZonesTurnIntoUtc) {
    DateFormatter http("EEE, dd MMM yyyy HH:mm:ss zzz", TimeZone::gmt());
    DateFormatter utc("yyyy-MM-dd HH:mm:ss", TimeZone::gmt());
    auto d = http.date("Sun, 06 Dec 2026 13:33:04 GMT");
    ASSERT_TRUE(d);
    EXPECT_EQ(utc.string(*d), "2026-12-06 13:33:04");
    EXPECT_EQ(http.string(*d), "Sun, 06 Dec 2026 13:33:04 GMT");
    auto cet = http.date("Sun, 06 Dec 2026 14:33:04 CET");
    ASSERT_TRUE(cet);
    EXPECT_EQ(*cet, *d);
    auto offset = http.date("Sun, 06 Dec 2026 08:33:04 GMT-5");
    ASSERT_TRUE(offset);
    EXPECT_EQ(*offset, *d);
    EXPECT_FALSE(http.date("Sun, 06 Dec 2026 13:33:04 XYZ"));
    EXPECT_FALSE(http.date("Sun, 06 Foo 2026 13:33:04 GMT"));
    // The device's zone does not leak into a GMT formatter.
    EXPECT_EQ(utc.string(march5), "2024-03-05 06:08:09");
}

TEST_F(CentralEuropeanTime, ParseOfFormatRoundTripsAcrossTheYear) {
    DateFormatter f("yyyy-MM-dd HH:mm:ss");
    for (double t = 1704067200.0; t < 1735689600.0; t += 86400.0 * 7 + 3671.0) {
        auto back = f.date(f.string(Date(t)));
        ASSERT_TRUE(back) << f.string(Date(t));
        EXPECT_EQ(back->timeIntervalSince1970(), t);
    }
}

TEST(DateFormatter, QuotedLiteralsAndTwelveHourClock) {
    DateFormatter f("'day' d 'o''clock' h a", TimeZone::gmt());
    Date d(1709618889.0 + 8 * 3600);  // 14:08:09 GMT
    EXPECT_EQ(f.string(d), "day 5 o'clock 2 PM");
}

TEST(Clock, InjectedNowIsWhatDatesSee) {
    {
        Clock::Fixed fixed(Date(1000.0));
        EXPECT_EQ(Date::now(), Date(1000.0));
        Clock::advance(2.5);
        EXPECT_EQ(Date::now(), Date(1002.5));
        EXPECT_TRUE(Clock::isFixed());
    }
    EXPECT_FALSE(Clock::isFixed());
    double real = static_cast<double>(std::time(nullptr));
    EXPECT_NEAR(Date::now().timeIntervalSince1970(), real, 5.0);
}
