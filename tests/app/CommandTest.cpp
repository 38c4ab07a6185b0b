#include <gtest/gtest.h>

#include "app/Command.h"

#include <sstream>

using Kind = Command::Kind;

TEST(Command, ParsesTheGrammar) {
    struct Case {
        const char* line;
        Kind kind;
        int number;
        const char* text;
    };
    const Case cases[] = {
        {"", Kind::empty, 0, ""},        {"   ", Kind::empty, 0, ""},       {"q", Kind::quit, 0, ""},
        {"quit", Kind::quit, 0, ""},     {"?", Kind::help, 0, ""},          {" b ", Kind::back, 0, ""},
        {"3", Kind::row, 3, "3"},        {"1000000", Kind::row, 1000000, "1000000"},
        {"i12", Kind::accessory, 12, ""},  {"s2", Kind::toggle, 2, ""},
        {"sc1", Kind::scope, 1, ""},     {"f1=1234", Kind::fill, 1, "1234"}, {"f2= a b ", Kind::fill, 2, " a b "},
        {"f1=", Kind::fill, 1, ""},      {"d1=15.03.2024", Kind::date, 1, "15.03.2024"},
        {"/nov", Kind::search, 0, "nov"}, {"/", Kind::search, 0, ""},       {"!b", Kind::tap, 0, "b"},
        {"áno", Kind::tap, 0, "áno"},    {"0", Kind::tap, 0, "0"},          {"f=x", Kind::tap, 0, "f=x"},
        {"storno hotovosti", Kind::tap, 0, "storno hotovosti"},
        {"w", Kind::wait, 1, ""},         {"w3", Kind::wait, 3, ""},        {"wx", Kind::tap, 0, "wx"},
        {":wifi  Office 2 ", Kind::wifi, 0, "Office 2"}, {":wifi", Kind::wifi, 0, ""},
        {":wifix", Kind::tap, 0, ":wifix"},
        {"+", Kind::scrollDown, 0, ""},   {" - ", Kind::scrollUp, 0, ""},   {"+1", Kind::tap, 0, "+1"},
    };
    for (const auto& c : cases) {
        auto cmd = Command::parse(c.line);
        EXPECT_EQ(cmd.kind, c.kind) << c.line;
        EXPECT_EQ(cmd.number, c.number) << c.line;
        EXPECT_EQ(cmd.text, c.text) << c.line;
    }
}

TEST(Command, TheHelpNamesTheTitledTapAndFitsAnEightyColumnTerminal) {
    EXPECT_NE(Command::helpLine().find("!<title>"), std::string::npos);
    std::istringstream help(Command::helpLine());
    std::string line;
    while (std::getline(help, line)) EXPECT_LE(line.size(), 80u) << line;
}
