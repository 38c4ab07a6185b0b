#include <gtest/gtest.h>

#include "ui/shell/CashAmount.h"

namespace {

std::string deposit(const std::string& typed) { return CashAmount::amountText(typed, false).value_or("<none>"); }
std::string withdrawal(const std::string& typed) { return CashAmount::amountText(typed, true).value_or("<none>"); }

TEST(CashAmount, NothingIsPostedForEmptyZeroOrNonNumbers) {
    for (const char* typed : {"", "0", "0,00", "abc", ",", " ", "-0", "e5", ".e1"}) {
        EXPECT_EQ(deposit(typed), "<none>") << typed;
        EXPECT_EQ(withdrawal(typed), "<none>") << typed;
    }
}

TEST(CashAmount, TakesNoAmountFinerThanACent) {
    for (const char* typed : {"0,005", "0,001", "12,345", "9,995", "25,505", "1,2349"}) {
        EXPECT_EQ(deposit(typed), "<none>") << typed;
        EXPECT_EQ(withdrawal(typed), "<none>") << typed;
    }
    EXPECT_EQ(deposit("7,990"), "7.99");
    EXPECT_EQ(withdrawal("123,4500"), "-123.45");
}

TEST(CashAmount, KeepsEveryCentOfLargeAmounts) {
    EXPECT_EQ(deposit("65536,01"), "65536.01");
    EXPECT_EQ(deposit("65536,02"), "65536.02");
    EXPECT_EQ(withdrawal("65536,02"), "-65536.02");
    EXPECT_EQ(deposit("1234567,89"), "1234567.89");
    EXPECT_EQ(deposit("99999999,99"), "99999999.99");
    EXPECT_EQ(withdrawal("99999999,99"), "-99999999.99");
}

TEST(CashAmount, TakesTheAmountOnlyWhenTheWholeTextIsOneNumber) {
    EXPECT_EQ(deposit("12,5"), "12.50");
    EXPECT_EQ(withdrawal("12,5"), "-12.50");
    EXPECT_EQ(deposit("12.5"), "12.50");
    EXPECT_EQ(deposit(" 7 "), "7.00");
    EXPECT_EQ(deposit(",5"), "0.50");
    EXPECT_EQ(deposit("5,"), "5.00");
    EXPECT_EQ(deposit("+3"), "3.00");
    EXPECT_EQ(deposit("007,10"), "7.10");
    // A second separator, letters or an exponent: no number, said so.
    for (const char* typed : {"2,5,0", "1,23,4", "3,,5", "1.2,3", "1,2,3", "7abc", "1e3", "1,5e1", "25e-1", "7e",
                              "1 000", "inf"}) {
        std::string why;
        EXPECT_FALSE(CashAmount::amountText(typed, false, &why)) << typed;
        EXPECT_EQ(why, "zadaný text nie je číslo") << typed;
        EXPECT_EQ(withdrawal(typed), "<none>") << typed;
    }
}

TEST(CashAmount, RefusesNegativeAndOutOfRangeInput) {
    EXPECT_EQ(deposit("-5"), "<none>");
    EXPECT_EQ(withdrawal("-5"), "<none>");
    // Above 99,999,999.99 an amount could not be stored to the cent.
    for (const char* typed : {"100000000", "100000000,50", "12345678901234567,89", "98765432109876,54"}) {
        EXPECT_EQ(deposit(typed), "<none>") << typed;
        EXPECT_EQ(withdrawal(typed), "<none>") << typed;
    }
    EXPECT_EQ(deposit("1" + std::string(60, '0')), "<none>");
    EXPECT_EQ(deposit("nan"), "<none>");
}

}  // namespace
