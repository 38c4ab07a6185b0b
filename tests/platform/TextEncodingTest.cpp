#include <gtest/gtest.h>

#include "platform/TextEncoding.h"

using namespace platform;

TEST(TextEncoding, Cp852RoundTripOfSlovakLetters) {
    const std::string slovak = "áäčďéíĺľňóôŕšťúýžÁÄČĎÉÍĹĽŇÓÔŔŠŤÚÝŽ";
    auto bytes = TextEncoding::toCp852(slovak);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 34u);  // one byte a letter
    EXPECT_EQ(TextEncoding::fromCp852(*bytes), slovak);
    EXPECT_EQ(*TextEncoding::toCp852("č"), "\x9F");
    // Control bytes and ASCII keep their values.
    EXPECT_EQ(*TextEncoding::toCp852("\x1b\x11 OK\n"), "\x1b\x11 OK\n");
}

TEST(TextEncoding, Cp852StrictAndLossy) {
    EXPECT_FALSE(TextEncoding::toCp852("cena 5 €"));
    EXPECT_FALSE(TextEncoding::toCp852("\xff"));
    EXPECT_EQ(TextEncoding::toCp852Lossy("cena 5 € č"), "cena 5 ? \x9F");
    EXPECT_EQ(TextEncoding::toCp852Lossy(""), "");
}

TEST(TextEncoding, Utf8AndAscii) {
    EXPECT_TRUE(TextEncoding::isValidUtf8("žltý kôň 😀"));
    EXPECT_TRUE(TextEncoding::isValidUtf8(""));
    EXPECT_FALSE(TextEncoding::isValidUtf8("\xc3"));          // cut short
    EXPECT_FALSE(TextEncoding::isValidUtf8("\xc0\xaf"));      // overlong
    EXPECT_FALSE(TextEncoding::isValidUtf8("\xed\xa0\x80"));  // surrogate
    EXPECT_FALSE(TextEncoding::isValidUtf8("\x9f"));
    EXPECT_TRUE(TextEncoding::isAscii("\x1b\x11"));
    EXPECT_FALSE(TextEncoding::toAscii("č"));
    EXPECT_EQ(TextEncoding::toAscii("OK"), "OK");
}
