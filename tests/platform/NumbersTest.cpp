#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "platform/Numbers.h"

using namespace platform;

namespace {

// Switches the process to a locale with a decimal comma, compiling one into
// the build folder when the system has none installed.
class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, "sk_SK.UTF-8") || std::setlocale(LC_ALL, "de_DE.UTF-8")) return;
        std::string dir = std::string(TREKORA_BINARY_DIR) + "/test-locales";
        if (!std::filesystem::exists(dir + "/sk_SK.UTF-8")) {
            // Built aside and renamed into place, as tests run in parallel.
            std::filesystem::create_directories(dir);
            std::string tmp = dir + "/build-" + std::to_string(::getpid());
            std::string cmd = "localedef -i sk_SK -f UTF-8 '" + tmp + "' >/dev/null 2>&1";
            std::system(cmd.c_str());
            std::error_code ec;
            std::filesystem::rename(tmp, dir + "/sk_SK.UTF-8", ec);
            std::filesystem::remove_all(tmp, ec);
            if (!std::filesystem::exists(dir + "/sk_SK.UTF-8"))
                GTEST_SKIP() << "no locale with a decimal comma available";
        }
        setenv("LOCPATH", dir.c_str(), 1);
        if (!std::setlocale(LC_ALL, "sk_SK.UTF-8")) GTEST_SKIP() << "comma locale did not load";
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

}  // namespace

TEST_F(CommaLocale, FormattingUsesThePoint) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", 1.5);
    ASSERT_STREQ(buf, "1,50") << "the locale should really use a comma";
    EXPECT_EQ(format("%.2f", 1.5), "1.50");
    EXPECT_EQ(format("%3.0f sec.", 7.4), "  7 sec.");
    EXPECT_EQ(format("%d;%s;%lu", -3, "x", 12ul), "-3;x;12");
    EXPECT_EQ(format("%.1e", 12345.0), "1.2e+04");
}

TEST_F(CommaLocale, ParsingReadsThePointOnly) {
    size_t used = 0;
    EXPECT_DOUBLE_EQ(parseDouble("  1.25abc", &used), 1.25);
    EXPECT_EQ(used, 6u);
    EXPECT_FLOAT_EQ(parseFloat("1,5"), 1.0f);
    EXPECT_FLOAT_EQ(parseFloat("-2.5e1"), -25.0f);
    EXPECT_EQ(parseDouble("abc", &used), 0.0);
    EXPECT_EQ(used, 0u);
    EXPECT_EQ(parseInt64(" -42kg"), -42);
    EXPECT_EQ(parseInt64("+5"), 5);
    EXPECT_EQ(parseInt64("0x1F"), 0);
    EXPECT_EQ(parseInt64("7FFF", nullptr, 16), 0x7FFF);
}

TEST(Numbers, LongOutputIsNotCut) {
    std::string big(1000, 'a');
    EXPECT_EQ(format("<%s>", big.c_str()), "<" + big + ">");
}
