#include "records/JsonCodingError.h"
#include "records/TempPoloItem.h"
#include "records/TempVetyItem.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

json completeLine() {
    json line = json::object();
    for (const auto& field : TempPoloItem::fields()) line[field.name] = "";
    return line;
}

JsonCodingError::Kind decodeLineFailure(const json& line) {
    try {
        TempPoloItem::decode(line);
    } catch (const JsonCodingError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "decoding succeeded: " << line.dump();
    return JsonCodingError::Kind::invalidValue;
}

}  // namespace

TEST(TempRecordsJson, ANewLineWritesEveryMemberAsAnEmptyStringInFieldOrder) {
    EXPECT_EQ(TempPoloItem().encode().dump(),
              R"({"TEMP_VETY_ID":"","IDO":"","IDTOV":"","MNOZ":"","DATUMSPOTREBY":"","POHYB":"","ZLAVA1":"",)"
              R"("ZLAVA2":"","ZLAVAC":"","CDOK":"","STR":""})");
}

TEST(TempRecordsJson, TextsTravelUnchangedBothWays) {
    TempVetyItem header;
    header.INFO = "ZAVOZ: trasa \"7\"";
    header.SUMDOKZ = "  12.50";
    header.OBJCDOK = "ľščťž";
    auto back = TempVetyItem::decode(json::parse(header.encode().dump()));
    EXPECT_EQ(back->description(), header.description());
    EXPECT_EQ(back->SUMDOKZ, "  12.50");
}

TEST(TempRecordsJson, EveryMemberIsRequiredAsAString) {
    auto line = completeLine();
    line["MNOZ"] = "5";
    line["EXTRA"] = 1;  // other names are ignored
    EXPECT_EQ(TempPoloItem::decode(line)->MNOZ, "5");

    auto number = line;
    number["MNOZ"] = 5;
    EXPECT_EQ(decodeLineFailure(number), JsonCodingError::Kind::typeMismatch);

    auto null = line;
    null["CDOK"] = nullptr;
    EXPECT_EQ(decodeLineFailure(null), JsonCodingError::Kind::valueNotFound);

    auto boolean = line;
    boolean["STR"] = true;
    EXPECT_EQ(decodeLineFailure(boolean), JsonCodingError::Kind::typeMismatch);

    auto lowerCase = line;
    lowerCase.erase("MNOZ");
    lowerCase["mnoz"] = "5";
    EXPECT_EQ(decodeLineFailure(lowerCase), JsonCodingError::Kind::keyNotFound);

    EXPECT_EQ(decodeLineFailure(json::array()), JsonCodingError::Kind::typeMismatch);
}

TEST(TempRecordsJson, AHeaderWithoutItsLastMemberIsRefusedWithAUsableDescription) {
    json header = TempVetyItem().encode();
    header.erase("OBJCDOK");
    try {
        TempVetyItem::decode(header);
        FAIL() << "decoding succeeded";
    } catch (const JsonCodingError& error) {
        EXPECT_EQ(error.kind(), JsonCodingError::Kind::keyNotFound);
        EXPECT_NE(std::string(error.what()).find("OBJCDOK"), std::string::npos) << error.what();
    }
}

TEST(TempRecordsJson, LinesGoOutAsOneCompactArray) {
    EXPECT_EQ(TempPoloItem::encodeArray({}), "[]");

    auto first = std::make_shared<TempPoloItem>();
    first->IDTOV = "A1";
    first->ZLAVA1 = " 5.00";
    first->CDOK = "77";
    auto second = std::make_shared<TempPoloItem>();
    second->IDTOV = "B2";
    auto text = TempPoloItem::encodeArray({first, second});
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
    EXPECT_EQ(text.find(": "), std::string::npos) << text;
    EXPECT_EQ(text.find(", "), std::string::npos) << text;
    auto parsed = json::parse(text);
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[0]["IDTOV"], "A1");
    EXPECT_EQ(parsed[0]["ZLAVA1"], " 5.00");
    EXPECT_EQ(parsed[0]["CDOK"], "77");
    EXPECT_EQ(parsed[0]["TEMP_VETY_ID"], "");
    EXPECT_EQ(parsed[1]["IDTOV"], "B2");
}

TEST(TempRecordsJson, TextThatIsNotUtf8IsAnEncodingError) {
    auto line = std::make_shared<TempPoloItem>();
    line->IDTOV = std::string("\xff\xfe", 2);
    EXPECT_THROW(TempPoloItem::encodeArray({line}), JsonCodingError);
}
