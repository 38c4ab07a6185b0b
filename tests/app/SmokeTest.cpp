#include <gtest/gtest.h>

#include <filesystem>

TEST(Build, ShipsTheDatabase) {
    EXPECT_TRUE(std::filesystem::exists(std::string(TREKORA_BINARY_DIR) + "/resources/trekora.db3"));
}
