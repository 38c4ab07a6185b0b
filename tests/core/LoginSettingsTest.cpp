#include "support/TrekoraTestEnvironment.h"

#include "platform/ui/View.h"
#include "records/NastaveniaItem.h"

#include <gtest/gtest.h>

namespace {
class LoginTest : public TrekoraTest {};
class SettingsTest : public TrekoraTest {};
} // namespace

TEST_F(LoginTest, TheDemoPinLogsInAndLoadsUserCentreAndSettings) {
    Trekora& t = trekora();
    EXPECT_TRUE(t.checkUzivatelPin("1234"));
    EXPECT_EQ(t.idu, "1");
    EXPECT_EQ(t.meno, "Ján");
    EXPECT_EQ(t.priezvisko, "Novák");
    EXPECT_EQ(t.str, "12");
    EXPECT_EQ(t.spz, "ZA-482KM");
    EXPECT_EQ(t.nastaveniaItem->FISCAL_TYPE, "FT5000");
    EXPECT_TRUE(console().contains("start checkUzivatelPin(pin:) ..."));
}

TEST_F(LoginTest, AWrongOrEmptyPinIsRefusedButTheCentreIsStillLoaded) {
    Trekora& t = trekora();
    ASSERT_TRUE(t.checkUzivatelPin("1234"));
    EXPECT_FALSE(t.checkUzivatelPin("9999"));
    EXPECT_EQ(t.idu, "");
    EXPECT_EQ(t.meno, "");
    EXPECT_EQ(t.str, "12");
    EXPECT_EQ(t.nastaveniaItem->FISCAL_TYPE, "FT5000");
    EXPECT_FALSE(t.checkUzivatelPin(""));
    EXPECT_EQ(t.idu, "");
}

TEST_F(LoginTest, OnlyTheStoredPinIsNormalised) {
    execute("update uzivatel set pin = '  ab12 ' where idu = 2;");
    Trekora& t = trekora();
    EXPECT_TRUE(t.checkUzivatelPin("AB12"));
    EXPECT_EQ(t.idu, "2");
    EXPECT_FALSE(t.checkUzivatelPin("ab12"));
    EXPECT_FALSE(t.checkUzivatelPin(" AB12"));
}

TEST_F(LoginTest, WithoutACentreEvenAKnownPinIsRefused) {
    execute("delete from stredisk;");
    EXPECT_FALSE(trekora().checkUzivatelPin("1234"));
    EXPECT_EQ(trekora().idu, "1");
    EXPECT_EQ(trekora().str, "");
}

TEST_F(SettingsTest, All48FieldsMakeTheRoundTrip) {
    Trekora& t = trekora();
    t.str = "12";
    t.readNastaveniaItem();
    const auto& fields = NastaveniaItem::fields();
    ASSERT_EQ(fields.size(), 48u);
    int n = 0;
    for (const auto& field : fields) (*t.nastaveniaItem).*(field.member) = std::string("v") + std::to_string(++n) + "é";
    EXPECT_TRUE(t.saveNastaveniaItem());
    EXPECT_TRUE(console().contains("update ok"));

    // Clear the record and read it back from the table.
    for (const auto& field : fields) (*t.nastaveniaItem).*(field.member) = "";
    t.readNastaveniaItem();
    n = 0;
    for (const auto& field : fields) {
        std::string expected = std::string("v") + std::to_string(++n) + "é";
        if (std::string(field.name) == "FISCAL_TYPE" || std::string(field.name) == "FISCAL_TYPE2")
            expected = std::string("V") + std::to_string(n) + "é";
        EXPECT_EQ((*t.nastaveniaItem).*(field.member), expected) << field.name;
    }
    // The field with the odd name is stored in column mu_prazdnysklad.
    EXPECT_EQ(scalar("select mu_prazdnysklad from nastavenia where str = 12"),
              t.nastaveniaItem->MU_PRAZNYSKLAD);
}

TEST_F(SettingsTest, FiscalTypesAreStoredUpperCasedWhileTheRecordKeepsThemAsTyped) {
    Trekora& t = trekora();
    t.str = "12";
    t.readNastaveniaItem();
    t.nastaveniaItem->FISCAL_TYPE = "esp";
    t.nastaveniaItem->FISCAL_TYPE2 = "ft5000";
    EXPECT_TRUE(t.saveNastaveniaItem());
    EXPECT_EQ(t.nastaveniaItem->FISCAL_TYPE, "esp");
    EXPECT_EQ(scalar("select fiscal_type from nastavenia where str = 12"), "ESP");
    EXPECT_EQ(scalar("select fiscal_type2 from nastavenia where str = 12"), "FT5000");
}

TEST_F(SettingsTest, NullColumnsReadAsEmptyTexts) {
    execute("update nastavenia set wifi_response = null, device_ip = null where str = 12;");
    Trekora& t = trekora();
    t.str = "12";
    t.nastaveniaItem->WIFI_RESPONSE = "stale";
    t.readNastaveniaItem();
    EXPECT_EQ(t.nastaveniaItem->WIFI_RESPONSE, "");
    EXPECT_EQ(t.nastaveniaItem->DEVICE_IP, "");
    EXPECT_EQ(t.nastaveniaItem->FISCAL_TYPE, "FT5000");
}

TEST_F(SettingsTest, ASaveWithoutASettingsRowIsAFailureAndStoresNothing) {
    Trekora& t = trekora();
    t.str = "99";
    t.nastaveniaItem->FISCAL_TYPE = "ESP";
    EXPECT_FALSE(t.saveNastaveniaItem());
    EXPECT_TRUE(console().contains("update failed"));
    EXPECT_FALSE(console().contains("update ok"));
    EXPECT_EQ(scalar("select count(*) from nastavenia"), "1");
    EXPECT_EQ(scalar("select fiscal_type from nastavenia"), "FT5000");

    // The read of a centre without a row leaves the record as it was.
    t.readNastaveniaItem();
    EXPECT_EQ(t.nastaveniaItem->FISCAL_TYPE, "ESP");
}

TEST_F(SettingsTest, ReadAndSaveSwitchTheViewAnimations) {
    Trekora& t = trekora();
    t.str = "12";
    platform::View::setAnimationsEnabled(false);
    t.readNastaveniaItem();  // demo: ANIMOVAT_OKNA "A"
    EXPECT_TRUE(platform::View::areAnimationsEnabled());
    t.nastaveniaItem->ANIMOVAT_OKNA = "N";
    t.saveNastaveniaItem();
    EXPECT_FALSE(platform::View::areAnimationsEnabled());
    t.nastaveniaItem->ANIMOVAT_OKNA = "a";
    t.saveNastaveniaItem();
    EXPECT_FALSE(platform::View::areAnimationsEnabled());
}
