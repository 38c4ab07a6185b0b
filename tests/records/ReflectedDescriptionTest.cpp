#include "records/ReflectedDescription.h"
#include "records/MenuItem.h"
#include "records/ObjVetyItem.h"
#include "records/PreskladnenieItem.h"
#include "records/TrasaItem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(ReflectedDescription, PrintsTypeNameAndLabelledFieldsInOrder) {
    EXPECT_EQ(ReflectedDescription("Empty").str(), "Empty()");
    EXPECT_EQ(ReflectedDescription("Pair").text("A", "").text("B", "").str(), "Pair(A: , B: )");
    EXPECT_EQ(ReflectedDescription("Mixed").text("T", "a, b").integer("I", -7).floating("F", 2.5).str(),
              "Mixed(T: a, b, I: -7, F: 2.5)");
}

TEST(ReflectedDescription, FloatingValuesKeepAFractionMark) {
    EXPECT_EQ(ReflectedDescription::formatFloating(10.0), "10.0");
    EXPECT_EQ(ReflectedDescription::formatFloating(0.1), "0.1");
    EXPECT_EQ(ReflectedDescription::formatFloating(-3.25), "-3.25");
    EXPECT_EQ(ReflectedDescription::formatFloating(1e20), "1e+20");
    EXPECT_EQ(ReflectedDescription::formatFloating(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(ReflectedDescription, OptionalsTellPresentFromAbsent) {
    auto text = ReflectedDescription("R")
                    .optionalText("A", std::nullopt)
                    .optionalText("B", std::string("nil"))
                    .optionalText("C", std::string())
                    .optionalInteger("D", 5)
                    .optionalFloating("E", 3.0)
                    .str();
    EXPECT_EQ(text, "R(A: nil, B: Optional(\"nil\"), C: Optional(\"\"), D: Optional(5), E: Optional(3.0))");
}

TEST(ReflectedDescription, RecordsPrintThemselves) {
    TrasaItem stop;
    stop.PORADIE = "3";
    EXPECT_EQ(stop.description(), "TrasaItem(TRASA_CISLO: , PORADIE: 3, IDOSC: , IDO: )");

    PreskladnenieItem line;
    EXPECT_EQ(line.description(), "PreskladnenieItem(CDOK: 0, IDTOV: , MNOZ: , DATUMSPOTREBY: )");

    MenuItem row{.caption = "hotovosť", .pohyb = 10, .koeficient = -1};
    EXPECT_EQ(row.description(),
              "MenuItem(image: , caption: hotovosť, popis: , pohyb: 10, ctlac: 0, sklad_typ: 0, koeficient: -1, "
              "min: 0, max: 0, action: , segue: , trasa_cislo: 0, select_query_name: , name: , info: )");
}

TEST(ReflectedDescription, NestedListsPrintTheirElements) {
    ObjVetyItem header;
    header.CDOK = 7;
    header.POLOZKY.emplace();
    auto line = std::make_shared<ObjPoloItem>();
    line->MNOZ = 2.0;
    header.POLOZKY->push_back(line);
    auto text = header.description();
    EXPECT_EQ(text.rfind("ObjVetyItem(CDOK: Optional(7), DATUM: nil, ", 0), 0u) << text;
    EXPECT_NE(text.find("POLOZKY: Optional([ObjPoloItem(CDOK: nil, "), std::string::npos) << text;
    EXPECT_NE(text.find("MNOZ: Optional(2.0)"), std::string::npos) << text;
    EXPECT_NE(text.find("ODBERATELIA: nil)"), std::string::npos) << text;
    EXPECT_EQ(text.back(), ')');
}
