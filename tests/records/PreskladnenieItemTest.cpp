#include "records/JsonCodingError.h"
#include "records/PreskladnenieItem.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

std::string failureOf(std::string_view answer) {
    try {
        PreskladnenieItem::decodeArrayFromText(answer);
    } catch (const JsonCodingError& error) {
        return error.what();
    }
    return "decoded";
}

}  // namespace

TEST(PreskladnenieItem, DecodesAnAnswerInArrayOrder) {
    auto lines = PreskladnenieItem::decodeArrayFromText(
        R"([{"CDOK":7,"IDTOV":"A1","MNOZ":"5","DATUMSPOTREBY":"2025-01-31","X":[1]},
            {"CDOK":9.0,"IDTOV":"B2","MNOZ":"1.5","DATUMSPOTREBY":""}])");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->CDOK, 7);
    EXPECT_EQ(lines[0]->IDTOV, "A1");
    EXPECT_EQ(lines[0]->DATUMSPOTREBY, "2025-01-31");
    EXPECT_EQ(lines[1]->CDOK, 9);
    EXPECT_EQ(lines[1]->MNOZ, "1.5");
    EXPECT_TRUE(PreskladnenieItem::decodeArrayFromText("[]").empty());
}

TEST(PreskladnenieItem, TheDocumentNumberMustBeAWholeJsonNumber) {
    EXPECT_NE(failureOf(R"([{"CDOK":"12","IDTOV":"A","MNOZ":"1","DATUMSPOTREBY":""}])"), "decoded");
    EXPECT_NE(failureOf(R"([{"CDOK":12.5,"IDTOV":"A","MNOZ":"1","DATUMSPOTREBY":""}])"), "decoded");
    EXPECT_NE(failureOf(R"([{"CDOK":true,"IDTOV":"A","MNOZ":"1","DATUMSPOTREBY":""}])"), "decoded");
    EXPECT_NE(failureOf(R"([{"CDOK":null,"IDTOV":"A","MNOZ":"1","DATUMSPOTREBY":""}])"), "decoded");
    EXPECT_NE(failureOf(R"([{"CDOK":9223372036854775808,"IDTOV":"A","MNOZ":"1","DATUMSPOTREBY":""}])"), "decoded");
    EXPECT_EQ(failureOf(R"([{"CDOK":-9223372036854775808,"IDTOV":"A","MNOZ":"1","DATUMSPOTREBY":""}])"),
              "decoded");
}

TEST(PreskladnenieItem, OneBadElementFailsTheWholeAnswer) {
    auto quantityAsNumber = failureOf(R"([{"CDOK":1,"IDTOV":"A","MNOZ":"1","DATUMSPOTREBY":""},
                                          {"CDOK":2,"IDTOV":"B","MNOZ":5,"DATUMSPOTREBY":""}])");
    EXPECT_NE(quantityAsNumber.find("[1].MNOZ"), std::string::npos) << quantityAsNumber;

    auto missingDate = failureOf(R"([{"CDOK":1,"IDTOV":"A","MNOZ":"1","DATUMSPOTREBY":""},
                                     {"CDOK":2,"IDTOV":"B","MNOZ":"5"}])");
    EXPECT_NE(missingDate.find("DATUMSPOTREBY"), std::string::npos) << missingDate;
}

TEST(PreskladnenieItem, TheAnswerMustBeAJsonArray) {
    EXPECT_NE(failureOf(R"({"CDOK":1,"IDTOV":"A","MNOZ":"1","DATUMSPOTREBY":""})"), "decoded");
    EXPECT_NE(failureOf("<html>error</html>"), "decoded");
    EXPECT_NE(failureOf(""), "decoded");
    EXPECT_NE(failureOf("[1]"), "decoded");
}

TEST(PreskladnenieItem, EncodesTheNumberAsANumber) {
    PreskladnenieItem line;
    line.CDOK = 12;
    line.MNOZ = "3";
    EXPECT_EQ(line.encode().dump(), R"({"CDOK":12,"IDTOV":"","MNOZ":"3","DATUMSPOTREBY":""})");
}
