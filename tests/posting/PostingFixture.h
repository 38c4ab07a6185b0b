#pragma once

// A fresh Documents folder with the shipped demo database and a shared
// object working on it, plus direct reads of the database file for the
// checks, and the steps of the lines editor (load, choose, recompute).

#include "core/Trekora.h"
#include "support/TrekoraTestEnvironment.h"
#include "records/DatumSpotrebyItem.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace posting_test {

using Row = std::map<std::string, std::string>;

class PostingFixture : public ::testing::Test {
protected:
    void SetUp() override {
        env_ = std::make_unique<TrekoraTestEnvironment>();
        dir_ = env_->documents();
        t = &env_->trekora();
        ASSERT_TRUE(std::filesystem::exists(t->dbURL)) << t->dbURL;
        // The checks count documents from an empty history: the demo
        // documents go, the master data, stock and numbering stay.
        if (!keepDemoDocuments())
            exec("delete from polo; delete from odbe; delete from vety; "
                 "update sqlite_sequence set seq = 1000 where name = 'vety'");
        // Activities of the demo data run relative to today.
        exec("update zlava set datum_od = date('now', 'localtime', '-10 days'), "
             "datum_do = date('now', 'localtime', '+10 days') where id in (1, 2, 4)");
        t->idu = "1";
        t->str = "12";
        t->readNastaveniaItem();
        t->km = "184310";
        customer("10102-01");
    }

    void TearDown() override { env_.reset(); }

    virtual bool keepDemoDocuments() const { return false; }

    // Chooses a customer establishment of the demo data.
    void customer(const std::string& idosc) {
        auto rows = query("select ido, idosc, pohyb from odberatel where idosc = ?", {idosc});
        ASSERT_EQ(rows.size(), 1u);
        auto c = std::make_shared<OdberatelItem>();
        c->IDO = rows[0]["ido"];
        c->IDOSC = rows[0]["idosc"];
        c->POHYB = rows[0]["pohyb"];
        t->selectedOdberatelItem = c;
    }

    // The document-type row of a menu by caption.
    std::shared_ptr<MenuItem> typ(const std::string& menu, const std::string& caption) {
        for (const auto& m : t->getMenuItems(menu))
            if (m->caption == caption) return m;
        ADD_FAILURE() << "no row " << caption << " in " << menu;
        return std::make_shared<MenuItem>();
    }

    // Loads the document type's goods and batches as the lines editor does.
    void load(const std::shared_ptr<MenuItem>& documentType) {
        t->selectedTypDokladuItem = documentType;
        t->readTovarArray(t->selectedOdberatelItem->IDOSC, documentType->select_query_name);
        t->readDatumSpotrebyArray();
    }

    // Puts a quantity on one batch of a good (by expiry date, or the first
    // batch when the date is empty) and keeps the good's quantity the sum.
    void choose(const std::string& idtov, const std::string& datum, long long quantity) {
        std::shared_ptr<TovarItem> good;
        for (const auto& g : t->tovarArray)
            if (g->IDTOV == idtov) good = g;
        ASSERT_TRUE(good) << idtov;
        auto batches = t->getDatumSpotrebyArray(idtov);
        ASSERT_FALSE(batches.empty()) << idtov;
        std::shared_ptr<DatumSpotrebyItem> batch = batches.front();
        for (const auto& b : batches)
            if (!datum.empty() && b->DATUMSPOTREBY == datum) batch = b;
        batch->VYBRANE = std::to_string(quantity);
        long long sum = 0;
        for (const auto& b : batches) sum += std::atoll(b->VYBRANE.c_str());
        good->VYBRANE = std::to_string(sum);
    }

    // Recomputes and posts the document being written.
    std::string post() {
        t->prepocitajDoklad(t->getPolozkyArray());
        return t->zapisDoklad();
    }

    static std::string cdokOf(const std::string& result) {
        auto eq = result.find('=');
        return eq == std::string::npos ? std::string() : result.substr(eq + 1);
    }

    // --- direct reads of the database file --------------------------------
    std::vector<Row> query(const std::string& sql, const std::vector<std::string>& values = {}) {
        std::vector<Row> rows;
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(t->dbURL.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db) << sql;
        for (size_t i = 0; st && i < values.size(); ++i)
            sqlite3_bind_text(st, static_cast<int>(i + 1), values[i].c_str(), -1, SQLITE_TRANSIENT);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            Row row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                auto text = sqlite3_column_text(st, i);
                row[sqlite3_column_name(st, i)] = text ? reinterpret_cast<const char*>(text) : "";
            }
            rows.push_back(row);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return rows;
    }

    std::string value(const std::string& sql, const std::vector<std::string>& values = {}) {
        auto rows = query(sql, values);
        if (rows.empty() || rows[0].empty()) return "<none>";
        return rows[0].begin()->second;
    }

    double amount(const std::string& sql, const std::vector<std::string>& values = {}) {
        return std::atof(value(sql, values).c_str());
    }

    void exec(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(t->dbURL.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "") << sql;
        sqlite3_free(err);
        sqlite3_close(db);
    }

    void storeQuery(const std::string& name, const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(t->dbURL.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "insert or replace into sqliteadmin_queries(name, sql) values (?, ?)", -1, &st, nullptr);
        sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, sql.c_str(), -1, SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
        sqlite3_close(db);
    }

    double batch(const std::string& idtov, const std::string& datum, int typ = 10) {
        return amount("select stav from sklad_sarza where idtov = ? and datumspotreby = ? and sklad_typ = " +
                          std::to_string(typ),
                      {idtov, datum});
    }
    double stock(const std::string& idtov, int typ = 10) {
        return amount("select stav from sklad where idtov = ? and sklad_typ = " + std::to_string(typ), {idtov});
    }
    int count(const std::string& table) { return std::atoi(value("select count(*) from " + table).c_str()); }

    std::string fileBytes() {
        std::ifstream in(t->dbURL, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::unique_ptr<TrekoraTestEnvironment> env_;
    std::string dir_;
    Trekora* t = nullptr;
};

}  // namespace posting_test
