#include "support/TrekoraTestEnvironment.h"

#include "core/SimpleLog.h"
#include "platform/Clock.h"
#include "platform/DateFormatter.h"
#include "platform/FileManager.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <thread>

namespace {

class LogTest : public TrekoraTest {
protected:
    std::string logText() { return platform::FileManager::contents(env().documentsPath("trekora.log")).value_or(""); }
};
class LockTest : public TrekoraTest {};

platform::Date localTime(const std::string& text) {
    return *platform::DateFormatter::parse(text, "yyyy-MM-dd HH:mm:ss");
}

} // namespace

TEST_F(LogTest, ALineIsTheLocalTimeABlankTheTextAndALineFeed) {
    Trekora& t = trekora();
    platform::Clock::Fixed clock(localTime("2024-03-05 07:08:09"));
    EXPECT_FALSE(platform::FileManager::fileExists(env().documentsPath("trekora.log")));
    t.log("abc");
    EXPECT_EQ(logText(), "2024-03-05 07:08:09 abc\n");
    EXPECT_TRUE(console().contains("2024-03-05 07:08:09 abc"));
    t.log("");
    t.log("prvý\ndruhý riadok");
    EXPECT_EQ(logText(), "2024-03-05 07:08:09 abc\n2024-03-05 07:08:09 \n2024-03-05 07:08:09 prvý\ndruhý riadok\n");
}

TEST_F(LogTest, LinesFromSeveralThreadsNeverInterleave) {
    Trekora& t = trekora();
    constexpr int threads = 8;
    constexpr int lines = 200;
    std::vector<std::thread> workers;
    for (int w = 0; w < threads; ++w)
        workers.emplace_back([&t, w] {
            for (int i = 0; i < lines; ++i) t.log("worker " + std::to_string(w) + " line " + std::to_string(i));
        });
    for (auto& worker : workers) worker.join();
    std::istringstream in(logText());
    std::string line;
    int count = 0;
    const std::regex form(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d worker \d line \d+)");
    while (std::getline(in, line)) {
        ++count;
        EXPECT_TRUE(std::regex_match(line, form)) << line;
    }
    EXPECT_EQ(count, threads * lines);
}

TEST_F(LogTest, TheFileIsCreatedAgainAfterItWasMovedAway) {
    Trekora& t = trekora();
    t.log("one");
    ASSERT_TRUE(platform::FileManager::moveItem(env().documentsPath("trekora.log"), env().documentsPath("old.log")));
    t.log("two");
    EXPECT_NE(logText().find("two\n"), std::string::npos);
    EXPECT_EQ(logText().find("one"), std::string::npos);
}

TEST_F(LockTest, TheChallengeIsAlwaysFourteenCharacters) {
    Trekora& t = trekora();
    {
        platform::Clock::Fixed clock(localTime("2026-12-07 00:00:00"));
        EXPECT_EQ(t.getSystemChallenge(), "             0");
    }
    {
        platform::Clock::Fixed clock(localTime("2026-12-07 23:59:59"));
        EXPECT_EQ(t.getSystemChallenge(), "         86399");
    }
    {
        platform::Clock::Fixed clock(localTime("2026-12-07 10:20:30"));
        EXPECT_EQ(t.getSystemChallenge(), "         37230");
    }
}

TEST_F(LockTest, AcceptsTheMasterCodeAndTheChallengeAnswerOnly) {
    Trekora& t = trekora();
    const std::string challenge = "         86399";  // 86399 % 839 = 821
    EXPECT_TRUE(t.checkSystemPin("821", challenge));
    EXPECT_TRUE(t.checkSystemPin("+821", challenge));
    EXPECT_TRUE(t.checkSystemPin("  821", challenge));
    EXPECT_TRUE(t.checkSystemPin("821x", challenge));
    EXPECT_FALSE(t.checkSystemPin("822", challenge));
    EXPECT_FALSE(t.checkSystemPin("", challenge));
    EXPECT_FALSE(t.checkSystemPin("86399", challenge));
    for (const char* c : {"             0", "         37230", "", "abc"}) EXPECT_TRUE(t.checkSystemPin("38274", c));
    // A code without a digit is refused, also where 0 would answer the challenge.
    for (const char* code : {"", "   ", "abc", "+"}) {
        EXPECT_FALSE(t.checkSystemPin(code, "             0")) << code;
        EXPECT_FALSE(t.checkSystemPin(code, "          1678")) << code;
    }
    EXPECT_TRUE(t.checkSystemPin("0", "          1678"));

    // The answer is checked against the challenge shown, not the clock.
    platform::Clock::Fixed clock(localTime("2026-12-07 10:20:30"));
    const std::string shown = t.getSystemChallenge();
    platform::Clock::advance(60);
    EXPECT_TRUE(t.checkSystemPin(std::to_string(37230 % 839), shown));
}
