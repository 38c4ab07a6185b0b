#include "records/JsonCodingError.h"
#include "records/MyResponse.h"
#include "records/ObjOdbeItem.h"
#include "records/ObjPoloItem.h"
#include "records/ObjVetyItem.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <limits>

using nlohmann::json;

namespace {

template <class Record>
JsonCodingError::Kind failureKind(const json& value) {
    try {
        Record::decode(value);
    } catch (const JsonCodingError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "decoding succeeded: " << value.dump();
    return JsonCodingError::Kind::invalidValue;
}

std::vector<std::string> keysOf(const nlohmann::ordered_json& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items()) keys.push_back(key);
    return keys;
}

}  // namespace

TEST(OrderRecordsJson, NewRecordsWriteEveryKeyAsNullInFieldOrder) {
    auto header = ObjVetyItem().encode();
    ASSERT_EQ(header.size(), 24u);
    for (const auto& [key, value] : header.items()) EXPECT_TRUE(value.is_null()) << key;
    auto keys = keysOf(header);
    EXPECT_EQ(keys.front(), "CDOK");
    EXPECT_EQ(keys[21], "IMPORTOVAT");
    EXPECT_EQ(keys[22], "POLOZKY");
    EXPECT_EQ(keys[23], "ODBERATELIA");

    auto line = ObjPoloItem().encode();
    EXPECT_EQ(line.size(), 28u);
    EXPECT_EQ(keysOf(line).back(), "EAN_OB");
    auto customer = ObjOdbeItem().encode();
    EXPECT_EQ(customer.size(), 22u);
    EXPECT_EQ(keysOf(customer).front(), "IDO");
    EXPECT_EQ(keysOf(customer).back(), "CDOK");
}

TEST(OrderRecordsJson, PresentValuesKeepTheirJsonKinds) {
    ObjPoloItem line;
    line.CDOK = 5;
    line.MNOZ = 2.5;
    line.IDTOV = "A1";
    line.DPH = 20.0;
    auto object = line.encode();
    EXPECT_TRUE(object["CDOK"].is_number_integer());
    EXPECT_EQ(object["CDOK"], 5);
    EXPECT_EQ(object["MNOZ"], 2.5);
    EXPECT_EQ(object["IDTOV"], "A1");
    EXPECT_TRUE(object["DPH"].is_number());
    int nulls = 0;
    for (const auto& [key, value] : object.items()) nulls += value.is_null();
    EXPECT_EQ(nulls, 24);
}

TEST(OrderRecordsJson, ListsAreWrittenAsArraysAndEmptyIsNotNull) {
    ObjVetyItem header;
    header.POLOZKY.emplace();
    auto object = header.encode();
    EXPECT_EQ(object["POLOZKY"], json::array());
    EXPECT_TRUE(object["ODBERATELIA"].is_null());

    header.POLOZKY->push_back(std::make_shared<ObjPoloItem>());
    header.POLOZKY->push_back(std::make_shared<ObjPoloItem>());
    object = header.encode();
    ASSERT_EQ(object["POLOZKY"].size(), 2u);
    EXPECT_EQ(object["POLOZKY"][1].size(), 28u);
}

TEST(OrderRecordsJson, MissingOrNullMembersStayAbsent) {
    auto header = ObjVetyItem::decode(json::parse(R"({"CDOK":12,"POLOZKY":[{}],"ODBERATELIA":null,"cdok":1})"));
    EXPECT_EQ(header->CDOK, 12);
    ASSERT_TRUE(header->POLOZKY.has_value());
    ASSERT_EQ(header->POLOZKY->size(), 1u);
    EXPECT_EQ((*header->POLOZKY)[0]->encode(), ObjPoloItem().encode());
    EXPECT_FALSE(header->ODBERATELIA.has_value());
    EXPECT_FALSE(header->INFO.has_value());

    EXPECT_FALSE(ObjVetyItem::decode(json::parse(R"({"POLOZKY":null})"))->POLOZKY.has_value());
    EXPECT_FALSE(ObjPoloItem::decode(json::parse(R"({"cdok":5})"))->CDOK.has_value());
    EXPECT_FALSE(ObjOdbeItem::decode(json::parse(R"({"CDOK":null})"))->CDOK.has_value());
}

TEST(OrderRecordsJson, NumbersAreReadByTheFieldsKind) {
    auto line = ObjPoloItem::decode(json::parse(R"({"MNOZ":3,"CDOK":4.0,"DPH":-1e2})"));
    EXPECT_EQ(line->MNOZ, 3.0);
    EXPECT_EQ(line->CDOK, 4);
    EXPECT_EQ(line->DPH, -100.0);
    auto header = ObjVetyItem::decode(json::parse(R"({"SUMDOKZ":10})"));
    EXPECT_EQ(header->SUMDOKZ, 10.0);

    using Kind = JsonCodingError::Kind;
    EXPECT_EQ(failureKind<ObjVetyItem>(json::parse(R"({"CDOK":1.5})")), Kind::typeMismatch);
    EXPECT_EQ(failureKind<ObjPoloItem>(json::parse(R"({"IDTOV":12})")), Kind::typeMismatch);
    EXPECT_EQ(failureKind<ObjPoloItem>(json::parse(R"({"CDOK":"12"})")), Kind::typeMismatch);
    EXPECT_EQ(failureKind<ObjPoloItem>(json::parse(R"({"MNOZ":"3"})")), Kind::typeMismatch);
    EXPECT_EQ(failureKind<ObjOdbeItem>(json::parse(R"({"ZLAVA":false})")), Kind::typeMismatch);
    EXPECT_EQ(failureKind<ObjOdbeItem>(json::parse(R"({"NAZOV1":{"a":1}})")), Kind::typeMismatch);
    EXPECT_EQ(failureKind<ObjOdbeItem>(json::parse(R"([])")), Kind::typeMismatch);
}

TEST(OrderRecordsJson, AWrongKindDeepInsideFailsTheWholeDocument) {
    auto value = json::parse(R"({"CDOK":1,"POLOZKY":[{"MNOZ":1},{"MNOZ":"2"}]})");
    try {
        ObjVetyItem::decode(value);
        FAIL() << "decoding succeeded";
    } catch (const JsonCodingError& error) {
        EXPECT_EQ(error.path(), "POLOZKY[1].MNOZ");
    }
    using Kind = JsonCodingError::Kind;
    EXPECT_EQ(failureKind<ObjVetyItem>(json::parse(R"({"POLOZKY":{}})")), Kind::typeMismatch);
    EXPECT_EQ(failureKind<ObjVetyItem>(json::parse(R"({"ODBERATELIA":[null]})")), Kind::valueNotFound);
    EXPECT_EQ(failureKind<MyResponse>(json::parse(R"({"DOKLADY":[{"POLOZKY":[{"CDOK":"x"}]}]})")),
              Kind::typeMismatch);
}

TEST(OrderRecordsJson, AWholeDocumentSurvivesARoundTrip) {
    ObjVetyItem header;
    header.CDOK = 40001;
    header.STR = 3;
    header.INFO = "ZAVOZ:pondelok";
    header.SUMDOKZ = 123.45;
    header.IMPORTOVAT = "A";
    header.POLOZKY.emplace();
    for (int i = 0; i < 3; ++i) {
        auto line = std::make_shared<ObjPoloItem>();
        line->IDTOV = "T" + std::to_string(i);
        line->MNOZ = 0.1 * (i + 1);
        line->SKUTOV1 = std::numeric_limits<std::int64_t>::min();
        header.POLOZKY->push_back(line);
    }
    header.ODBERATELIA.emplace();
    auto customer = std::make_shared<ObjOdbeItem>();
    customer->NAZOV1 = "Potraviny \"U Jana\"";
    customer->ZLMAX = 7.5;
    header.ODBERATELIA->push_back(customer);

    auto back = ObjVetyItem::decode(json::parse(header.encode().dump()));
    EXPECT_EQ(back->description(), header.description());
    EXPECT_EQ(back->encode(), header.encode());
}

TEST(OrderRecordsJson, NonFiniteNumbersCannotBeEncoded) {
    ObjVetyItem header;
    header.POLOZKY.emplace();
    auto line = std::make_shared<ObjPoloItem>();
    line->CENA = std::numeric_limits<double>::infinity();
    header.POLOZKY->push_back(line);
    try {
        header.encode();
        FAIL() << "encoding succeeded";
    } catch (const JsonCodingError& error) {
        EXPECT_EQ(error.kind(), JsonCodingError::Kind::invalidValue);
        EXPECT_EQ(error.path(), "POLOZKY[0].CENA");
    }
    ObjOdbeItem customer;
    customer.ZLAVA = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(customer.encode(), JsonCodingError);
}

TEST(OrderRecordsJson, AReplyWritesOnlyItsPresentMembers) {
    MyResponse reply;
    EXPECT_EQ(reply.encode().dump(), "{}");
    reply.RESPONSE = "ok";
    EXPECT_EQ(reply.encode().dump(), R"({"RESPONSE":"ok"})");
    reply.DOKLADY.emplace();
    EXPECT_EQ(reply.encode().dump(), R"({"RESPONSE":"ok","DOKLADY":[]})");

    auto decoded = MyResponse::decode(json::parse(R"({"RESPONSE":"ok","INE":1})"));
    EXPECT_EQ(decoded->RESPONSE, "ok");
    EXPECT_FALSE(decoded->DOKLADY.has_value());

    auto withDocument = MyResponse::decode(json::parse(R"({"DOKLADY":[{"CDOK":3}]})"));
    ASSERT_TRUE(withDocument->DOKLADY.has_value());
    EXPECT_EQ((*withDocument->DOKLADY)[0]->CDOK, 3);
}

TEST(OrderRecordsJson, OrderedInputDecodesToo) {
    nlohmann::ordered_json ordered = {{"CDOK", 8}};
    EXPECT_EQ(ObjOdbeItem::decode(json(ordered))->CDOK, 8);
}
