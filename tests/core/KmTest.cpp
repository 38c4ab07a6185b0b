#include "support/TrekoraTestEnvironment.h"

#include <gtest/gtest.h>

namespace {
class KmTest : public TrekoraTest {};
} // namespace

TEST_F(KmTest, ReadsAndWritesTheReading) {
    Trekora& t = trekora();
    EXPECT_EQ(t.km, "0");
    t.readKm();
    EXPECT_EQ(t.km, "184310");
    t.km = "184555";
    t.writeKm();
    EXPECT_TRUE(console().contains("update ok"));
    t.km = "0";
    t.readKm();
    EXPECT_EQ(t.km, "184555");
    // Stored exactly as held, the empty text included.
    t.km = "";
    t.writeKm();
    EXPECT_EQ(scalar("select count(*) from km where hodnota = ''"), "1");
}

TEST_F(KmTest, NullReadsAsZeroAndSeveralRowsKeepTheLast) {
    execute("update km set hodnota = null;");
    Trekora& t = trekora();
    t.km = "5";
    t.readKm();
    EXPECT_EQ(t.km, "0");
    execute("delete from km; insert into km values ('100'); insert into km values ('200');");
    t.readKm();
    EXPECT_EQ(t.km, "200");
    t.km = "300";
    t.writeKm();
    EXPECT_EQ(scalar("select count(*) from km where hodnota = '300'"), "2");
}

TEST_F(KmTest, AWriteIntoAnEmptyTableStoresTheReading) {
    execute("delete from km;");
    Trekora& t = trekora();
    t.km = "5";
    t.readKm();
    EXPECT_EQ(t.km, "5");
    t.km = "123456";
    t.writeKm();
    EXPECT_TRUE(console().contains("update ok"));
    EXPECT_EQ(scalar("select count(*) from km"), "1");
    t.km = "0";
    t.readKm();
    EXPECT_EQ(t.km, "123456");
}
