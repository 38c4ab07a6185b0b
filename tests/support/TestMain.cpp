#include "platform/SystemSounds.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Tests run from a terminal stay quiet: alert sounds are only recorded.
    platform::SystemSounds::setBellEnabled(false);
    return RUN_ALL_TESTS();
}
