#include "support/TrekoraTestEnvironment.h"

#include "core/StringValue.h"
#include "fiscal/EkasaJson.h"
#include "report/DataItem.h"
#include "report/Preview.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each printable definition with the document it is shown on.
struct Printout {
    const char* file;  // "ekasa" (printer 1) or "lx300" (printer 2)
    const char* name;
    const char* id;
};

const Printout kPrintouts[] = {
    {"ekasa", "fiskal_uhrada", "2019"},   {"ekasa", "fiskal_uhrada_kopia", "2019"},
    {"ekasa", "fiskal_vklad", "2020"},    {"ekasa", "fiskal_vklad_kopia", "2020"},
    {"ekasa", "fiskal_vyber", "2021"},    {"ekasa", "fiskal_vyber_kopia", "2021"},
    {"ekasa", "hotovost", "1002"},        {"ekasa", "hotovost_kopia", "2001"},
    {"ekasa", "prijemka", "2002"},        {"ekasa", "faktura", "1001"},
    {"ekasa", "dobropis", "2003"},        {"ekasa", "dodaci", "1006"},
    {"ekasa", "navratka", "2004"},        {"ekasa", "objednavka", "2005"},
    {"ekasa", "gratis", "2006"},          {"ekasa", "dennauzavierka", "2022"},
    {"ekasa", "mesacnauzavierka", "2023"}, {"ekasa", "prijemka_pos", "2007"},
    {"ekasa", "prijemka_vzo", "2008"},    {"ekasa", "prijemka_kor", "2009"},
    {"ekasa", "vydajka_pos", "2010"},     {"ekasa", "vydajka_vzo", "2011"},
    {"ekasa", "vydajka_kor", "2012"},     {"ekasa", "prevodka_kor", "2013"},
    {"ekasa", "preberaciprotokol", "2014"}, {"ekasa", "inventura", "2015"},
    {"ekasa", "inventura_kor", "2016"},   {"ekasa", "inventura_pos", "2017"},
    {"ekasa", "inventura_vzo", "2018"},
    {"lx300", "fiskal_uhrada", "2019"},   {"lx300", "fiskal_vklad", "2020"},
    {"lx300", "fiskal_vyber", "2021"},    {"lx300", "hotovost", "1005"},
};

class ReportDefinitionsTest : public TrekoraTest {
protected:
    void SetUp() override {
        TrekoraTest::SetUp();
        execute(readFile(std::string(TREKORA_SOURCE_DIR) + "/tests/report/documents.sql"));
    }
};

} // namespace

// Every shipped definition prints its demo document exactly as the reviewed
// text beside this test. TREKORA_UPDATE_EXPECTED=1 rewrites the texts.
TEST_F(ReportDefinitionsTest, EveryDefinitionPrintsItsDocumentAsExpected) {
    auto& t = trekora();
    const bool update = std::getenv("TREKORA_UPDATE_EXPECTED") != nullptr;
    for (const auto& p : kPrintouts) {
        SCOPED_TRACE(std::string(p.file) + "/" + p.name);
        const bool first = std::string(p.file) == "ekasa";
        auto item = first ? t.findDataItem(p.name) : t.findDataItem2(p.name);
        ASSERT_TRUE(item);
        ASSERT_EQ(item->reports.size(), 1u);
        const std::int64_t width = item->reports[0]->pageWidth;
        EXPECT_EQ(width, first ? 40 : 80);

        const std::string text = item->getReport(p.id, "0");
        EXPECT_EQ(item->getReport(p.id, "0"), text) << "a second rendering differs";
        std::istringstream lines(text);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count)
            EXPECT_EQ(characterCount(line), width - 1) << "line " << count << ": " << line;
        EXPECT_GT(count, 10);

        const std::string path =
            std::string(TREKORA_SOURCE_DIR) + "/tests/report/expected/" + p.file + "/" + p.name + ".txt";
        if (update) std::ofstream(path, std::ios::binary) << text;
        EXPECT_EQ(text, readFile(path));
    }
}

TEST_F(ReportDefinitionsTest, EveryMovementCodeOfThePreviewHasItsDefinitions) {
    auto& t = trekora();
    for (const char* pohyb : {"6", "7", "8", "9", "10", "19", "20", "21", "30", "31", "40", "42", "90", "91", "59", "69",
                              "43", "50", "60", "44", "45", "16", "17", "47", "57", "67"}) {
        SCOPED_TRACE(pohyb);
        auto entry = Preview::mapping(pohyb);
        ASSERT_TRUE(entry);
        EXPECT_TRUE(t.findDataItem(entry->definition));
        if (std::string(entry->copy).empty()) continue;
        EXPECT_TRUE(t.findDataItem(entry->copy));
        EXPECT_TRUE(t.findDataItem2(entry->definition));
    }
    // The list queries still answer.
    EXPECT_FALSE(t.getData("vsetky_vystavene").empty());
    EXPECT_FALSE(t.getData("sklad_nenulove").empty());
}

// With printer 1 set to the fiscal service, the cash documents render as the
// service's JSON (after the driver's own replacements) and their totals are
// those of the printed text; every other printer keeps the printed text.
TEST_F(ReportDefinitionsTest, CashDocumentsRenderTheFiscalServiceJsonUnderItsPrinterType) {
    auto& t = trekora();
    const bool update = std::getenv("TREKORA_UPDATE_EXPECTED") != nullptr;
    execute("update nastavenia set fiscal_type = ' ekasa '");
    auto body = [&](const std::string& name, const std::string& id) {
        const std::string text = t.findDataItem(name)->getReport(id, "0");
        const std::string path = std::string(TREKORA_SOURCE_DIR) + "/tests/report/expected/ekasa/json/" + name + ".txt";
        if (update) std::ofstream(path, std::ios::binary) << text;
        EXPECT_EQ(text, readFile(path)) << name;
        auto json = nlohmann::json::parse(name == "hotovost" ? EkasaJson::receiptBody(text) : EkasaJson::unquote(text),
                                          nullptr, false);
        EXPECT_TRUE(json.is_object()) << text;
        return json.is_object() ? json : nlohmann::json::object();
    };
    auto cents = [](const nlohmann::json& amount) { return std::llround(amount.get<double>() * 100); };

    auto receipt = body("hotovost", "1002");
    EXPECT_EQ(receipt["externalId"], "1002");
    ASSERT_EQ(receipt["items"].size(), 3u);
    long long lines = 0;
    for (const auto& item : receipt["items"]) lines += cents(item["amount"]);
    EXPECT_EQ(lines, 2794);
    EXPECT_EQ(cents(receipt["amount"]), 2794);
    EXPECT_EQ(cents(receipt["payments"][0]["amount"]), 2794);
    EXPECT_EQ(receipt["items"][0]["name"], "Horalky arašidové 50 g");
    EXPECT_EQ(receipt["items"][2]["vatRate"], 23.0);

    auto deposit = body("fiskal_vklad", "2020");
    EXPECT_EQ(deposit["externalId"], "2020");
    EXPECT_EQ(deposit["type"], "deposit");
    EXPECT_EQ(cents(deposit["amount"]), 20000);
    auto withdrawal = body("fiskal_vyber", "2021");
    EXPECT_EQ(withdrawal["type"], "withdrawal");
    EXPECT_EQ(cents(withdrawal["amount"]), 15050);
    auto payment = body("fiskal_uhrada", "2019");
    EXPECT_EQ(payment["invoiceNumber"], "1004");
    EXPECT_EQ(cents(payment["amount"]), 20035);
    EXPECT_EQ(cents(payment["payments"][0]["amount"]), 20035);

    // Names keep their quotes, backslashes and entities as text.
    const std::string odd = "Čaj \"Zelený\" 1\\2 &quot;x&quot;";
    execute("update polo set naztov1 = '" + odd + "', naztov2 = '' where vety_id = 2001 and idtov = 'T003'");
    auto named = nlohmann::json::parse(EkasaJson::receiptBody(t.findDataItem("hotovost")->getReport("2001", "0")),
                                       nullptr, false);
    ASSERT_TRUE(named.is_object());
    EXPECT_EQ(named["items"][0]["name"], odd);

    // Any other printer type prints the text again.
    execute("update nastavenia set fiscal_type = 'FT5000'");
    EXPECT_EQ(t.findDataItem("fiskal_vklad")->getReport("2020", "0"),
              readFile(std::string(TREKORA_SOURCE_DIR) + "/tests/report/expected/ekasa/fiskal_vklad.txt"));
}
