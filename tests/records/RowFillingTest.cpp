#include "records/DatumSpotrebyItem.h"
#include "records/KorunkaItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"

#include <gtest/gtest.h>

TEST(RowFilling, CopiesEachFieldFromTheColumnOfItsNameAndLeavesMissingOnesEmpty) {
    RowDictionary row{{"IDO", "1001"}, {"NAZOV1", "Potraviny Jana"}, {"KORUNKA", "ano"},
                      {"UNKNOWN_COLUMN", "x"}, {"ido", "lower-case keys are other columns"}};
    auto customer = OdberatelItem::fromRow(row);
    EXPECT_EQ(customer->IDO, "1001");
    EXPECT_EQ(customer->NAZOV1, "Potraviny Jana");
    EXPECT_EQ(customer->KORUNKA, "ano");
    EXPECT_EQ(customer->TRASA_CISLO, "");
    EXPECT_EQ(customer->POCET_DOKLADOV_AKTUALNY_MESIAC, "");
}

TEST(RowFilling, RefillingOverwritesEveryFieldIncludingWorkingFields) {
    auto good = TovarItem::fromRow({{"IDTOV", "A1"}, {"CENA", " 1.50"}, {"VYBRANE", "0"}});
    EXPECT_EQ(good->CENA, " 1.50");  // taken unchanged, blanks included
    good->CCSUM = "   12.00";
    good->fillFromRow({{"IDTOV", "B2"}});
    EXPECT_EQ(good->IDTOV, "B2");
    EXPECT_EQ(good->CENA, "");
    EXPECT_EQ(good->CCSUM, "");
}

TEST(RowFilling, BatchAndLoyaltyRecordsReadTheirColumns) {
    auto batch = DatumSpotrebyItem::fromRow({{"IDTOV", "A1"}, {"SARZA_STAV", "4"}, {"FDATSPOT", "01.02.2025 (4)"}});
    EXPECT_EQ(batch->IDTOV, "A1");
    EXPECT_EQ(batch->SARZA_STAV, "4");
    EXPECT_EQ(batch->FDATSPOT, "01.02.2025 (4)");
    EXPECT_EQ(batch->VYBRANE, "");

    auto account = KorunkaItem::fromRow({{"ZOSTATOK", "25"}, {"OBRATSDPH_IDTOV", "100.5"}});
    EXPECT_EQ(account->ZOSTATOK, "25");
    EXPECT_EQ(account->OBRATSDPH_IDTOV, "100.5");
    EXPECT_EQ(account->KORUNKA, "");
}

TEST(SettingsRecord, EmptyWarehouseFlagLivesInItsOwnColumn) {
    auto settings = NastaveniaItem::fromRow({{"MU_PRAZDNYSKLAD", "A"}, {"MU_PRAZNYSKLAD", "N"}, {"KILOMETRE", "N"}});
    EXPECT_EQ(settings->MU_PRAZNYSKLAD, "A");
    EXPECT_EQ(settings->KILOMETRE, "N");

    int spelledApart = 0;
    for (const auto& field : NastaveniaItem::fields()) {
        if (std::string(field.name) != field.column) {
            ++spelledApart;
            EXPECT_STREQ(field.name, "MU_PRAZNYSKLAD");
            EXPECT_STREQ(field.column, "mu_prazdnysklad");
        }
    }
    EXPECT_EQ(spelledApart, 1);
}

TEST(SettingsRecord, RefillingReplacesAllFieldsInPlace) {
    NastaveniaItem settings;
    settings.FISCAL_TYPE = "ft5000";
    settings.DEVICE_IP = "10.0.0.5";
    settings.fillFromRow({{"FISCAL_TYPE", "ESP"}});
    EXPECT_EQ(settings.FISCAL_TYPE, "ESP");
    EXPECT_EQ(settings.DEVICE_IP, "");
}

TEST(SettingsRecord, YesNoSettingsAreOnExactlyWhenA) {
    NastaveniaItem settings;
    EXPECT_FALSE(settings.isOn(&NastaveniaItem::ANIMOVAT_OKNA));
    settings.ANIMOVAT_OKNA = "a";
    EXPECT_FALSE(settings.isOn(&NastaveniaItem::ANIMOVAT_OKNA));
    settings.ANIMOVAT_OKNA = "A";
    EXPECT_TRUE(settings.isOn(&NastaveniaItem::ANIMOVAT_OKNA));
    settings.OBJ_PRE_IMPORT = "N";
    EXPECT_FALSE(settings.isOn(&NastaveniaItem::OBJ_PRE_IMPORT));
}

TEST(SettingsRecord, KilometreAndFiscalPrintAreOffExactlyWhenN) {
    NastaveniaItem settings;
    for (auto setting : {&NastaveniaItem::KILOMETRE, &NastaveniaItem::FISKAL_PRINT}) {
        settings.*setting = "";
        EXPECT_TRUE(settings.isOn(setting));
        settings.*setting = "n";
        EXPECT_TRUE(settings.isOn(setting));
        settings.*setting = "A";
        EXPECT_TRUE(settings.isOn(setting));
        settings.*setting = "N";
        EXPECT_FALSE(settings.isOn(setting));
    }
}
