#include "records/FiskalItem.h"
#include "records/MenuItem.h"
#include "records/ParameterItem.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(MenuItem, NamedArgumentsLeaveTheRestAtTheirDefaults) {
    auto route = std::make_shared<MenuItem>(MenuItem{.image = "generic_box.png", .caption = "trasa 3",
                                                     .segue = "trasa_odberatel_segue", .trasa_cislo = 3});
    EXPECT_EQ(route->pohyb, 0);
    EXPECT_EQ(route->koeficient, 0);
    EXPECT_EQ(route->action, "");
    EXPECT_EQ(route->select_query_name, "");
    EXPECT_EQ(route->trasa_cislo, 3);

    // Every field in declaration order, as a document row is built.
    MenuItem storno{"", "storno hotovosti", "", 10, 0, 10, -1, -10000, 0, "", "storno_hotovosti_parameters_segue",
                    0, "lookup_cennik", "STORNO_HOTOVOSTI", ""};
    EXPECT_EQ(storno.min, -10000);
    EXPECT_EQ(storno.name, "STORNO_HOTOVOSTI");
}

TEST(MenuItem, TheSelectedRowIsTheSameRecordAsTheListsRow) {
    std::vector<std::shared_ptr<MenuItem>> menu{std::make_shared<MenuItem>(MenuItem{.caption = "hotovosť"})};
    std::shared_ptr<MenuItem> selected = menu[0];
    menu[0]->pohyb = 10;
    EXPECT_EQ(selected->pohyb, 10);
}

TEST(MenuItem, SmallRecordsStartEmpty) {
    EXPECT_EQ(FiskalItem().description(),
              "FiskalItem(FISCAL_TYPE: , WIFI_PRINTER_SSID: , WIFI_PRINTER_IP: , WIFI_PRINTER_PORT: 0, "
              "WIFI_RESPONSE: )");
    EXPECT_EQ(ParameterItem().description(),
              "ParameterItem(GROUPNAME: , NAME: , TYPE: , CAPTION: , VALUE: , DISPLAYVALUE: , MIN: , MAX: , "
              "LOOKUPQUERY: , LOOKUPFIELD: , DISPLAYFIELD: )");
}
