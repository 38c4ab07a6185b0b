#pragma once

// The demo database and the office's order desk on 127.0.0.1, with the
// settings of the centre pointing at it and short request deadlines.

#include "fakes/FakeOrderOffice.h"
#include "posting/PostingFixture.h"
#include "records/NastaveniaItem.h"
#include "sync/ObjednavkyHttp.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

namespace orders_test {

class OrdersFixture : public posting_test::PostingFixture {
protected:
    void SetUp() override {
        PostingFixture::SetUp();
        ObjednavkyHttp::setDeadline(1.5);
        office = std::make_unique<FakeOrderOffice>();
        t->nastaveniaItem->OBJ_PRE_EXPORT_DIR = office->exportUrl();
        t->nastaveniaItem->OBJ_PRE_IMPORT_DIR = office->importUrl();
        t->nastaveniaItem->FBCONNECTIONSTRING = office->transferUrl();
    }
    void TearDown() override {
        office.reset();
        ObjednavkyHttp::setDeadline(90);
        PostingFixture::TearDown();
    }

    // An order as the office prepares it: header, `lines` lines of demo goods
    // and one customer record.
    static nlohmann::json order(long long cdok, int lines = 2) {
        static const char* goods[] = {"T001", "T002", "T003", "T006"};
        nlohmann::json o = {{"CDOK", cdok},       {"STR", 12},          {"DATUM", "2026-12-06"},
                            {"IDOSC", "10101-01"}, {"POHYB", 40},       {"SUMDOKZ", 12.5},
                            {"INFO", "ZAVOZ:"},    {"PARDOK", nullptr}, {"POLOZKY", nlohmann::json::array()}};
        for (int i = 0; i < lines; ++i)
            o["POLOZKY"].push_back({{"CDOK", cdok}, {"IDTOV", goods[i % 4]}, {"MNOZ", 5 + i}, {"CENA", 1.25},
                                    {"NAZTOV1", "Káva's \"best\"; ok"}});
        o["ODBERATELIA"] = {{{"CDOK", cdok}, {"IDOSC", "10101-01"}, {"NAZOV1", "Potraviny Jednota"}}};
        return o;
    }

    int rows(const std::string& table, long long cdok) {
        return std::atoi(value("select count(*) from " + table + " where cdok = " + std::to_string(cdok)).c_str());
    }

    std::unique_ptr<FakeOrderOffice> office;
};

}  // namespace orders_test
