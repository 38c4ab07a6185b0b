#include "support/TrekoraTestEnvironment.h"

#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Clock.h"
#include "report/DataItem.h"

#include <gtest/gtest.h>

namespace {

template <class T>
std::shared_ptr<T> item(std::int64_t x, std::int64_t y, const std::string& text, const std::string& format = "") {
    auto made = std::make_shared<T>();
    made->x = x;
    made->y = y;
    if constexpr (std::is_same_v<T, Text>)
        made->value = text;
    else
        made->name = text;
    made->format = format;
    return made;
}

// Renders one band against the one row of `select`.
std::string renderBand(Report& report, const Section& band, const std::string& select = "select 1") {
    SqlDatabase db;
    EXPECT_TRUE(db.open());
    auto rs = db.executeQuery(select);
    EXPECT_TRUE(rs && rs->next());
    report.resultString.clear();
    report.render(band, *rs);
    rs->close();
    db.close();
    return report.resultString;
}

} // namespace

TEST(ReportRenderTest, GridRulesOfTheWorkedExample) {
    Report report;
    report.pageWidth = 10;
    report.rowNumber = 7;
    Section band;
    band.texts.push_back(item<Text>(1, 1, "AB"));
    band.fields.push_back(item<Field>(6, 1, "C", "%5.2f"));
    band.functions.push_back(item<Function>(3, 2, "RowNumber"));
    EXPECT_EQ(renderBand(report, band, "select 3.5 C"), "AB   3.50\n 7       \n");

    // A value longer than its place pushes the rest right; nothing is cut.
    report.pageWidth = 8;
    Section pushed;
    pushed.texts = {item<Text>(1, 1, "ABCDEF"), item<Text>(4, 1, "XY")};
    EXPECT_EQ(renderBand(report, pushed), "ABCDEFXY\n");

    // Empty lines above the items are blanks; an empty band writes nothing.
    Section low;
    low.texts = {item<Text>(2, 3, "x")};
    EXPECT_EQ(renderBand(report, low), "       \n       \nx      \n");
    EXPECT_EQ(renderBand(report, Section()), "");
}

TEST(ReportRenderTest, LaterItemsWinTheirCellAndMissingColumnsLeaveIt) {
    Report report;
    report.pageWidth = 12;
    Section band;
    band.functions = {item<Function>(1, 1, "PageOf"), item<Function>(5, 1, "PageNumber"), item<Function>(9, 1, "Nic")};
    band.texts = {item<Text>(5, 1, "T"), item<Text>(9, 1, "U")};
    band.fields = {item<Field>(5, 1, "CHYBA"), item<Field>(9, 1, "N")};
    // PageOf stays, the text beats the function at 5, the NULL field blanks 9.
    EXPECT_EQ(renderBand(report, band, "select null N"), "0/0T       \n");
}

TEST(ReportRenderTest, SlovakLettersCountAsOneColumnInGridAndFormats) {
    Report report;
    report.pageWidth = 12;
    Section band;
    band.texts = {item<Text>(1, 1, "čaj", "%-6s"), item<Text>(8, 1, "ľ")};
    band.fields = {item<Field>(1, 2, "N", "%.2s"), item<Field>(5, 2, "N", "%5s")};
    EXPECT_EQ(renderBand(report, band, "select 'Žltý' N"), "čaj   ľ    \nŽl  Žltý   \n");
}

TEST(ReportRenderTest, FormatsChooseHowAColumnIsRead) {
    Report report;
    report.pageWidth = 40;
    Section band;
    band.fields = {item<Field>(1, 1, "R", "%6.2f"), item<Field>(8, 1, "I", "%3i"), item<Field>(12, 1, "I", "%d"),
                   item<Field>(24, 1, "S", "%-4s|"), item<Field>(30, 1, "R")};
    // Whole numbers are read as 64-bit, not cut to 32 bits.
    EXPECT_EQ(renderBand(report, band, "select 2.345 R, 5000000000 I, 'ab' S"),
              "  2.3550000000005000000000ab  |2.345   \n");
}

TEST(ReportRenderTest, UnusableFormatsPrintTheValueAsText) {
    // Two conversions, a conversion of another kind, unbounded widths, a
    // star width or a lone percent: the value is shown as stored.
    for (const char* bad : {"%s %s", "%n", "%p", "%*d", "%999999s", "%.999f", "abc", "%", "%ls", "Suma %5.2f %s"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ReportFormat(bad).usable());
        Report report;
        report.pageWidth = 20;
        Section band;
        band.fields = {item<Field>(1, 1, "V", bad)};
        band.texts = {item<Text>(10, 1, "txt", bad)};
        EXPECT_EQ(renderBand(report, band, "select 12.5 V"), "12.5    txt        \n");
    }
    // A text format must convert a text.
    Report report;
    report.pageWidth = 6;
    Section band;
    band.texts = {item<Text>(1, 1, "ab", "%5.2f")};
    EXPECT_EQ(renderBand(report, band), "ab   \n");
    EXPECT_EQ(ReportFormat("Suma: %8.2f %%").real(3), "Suma:     3.00 %");
}

TEST(ReportRenderTest, ItemsOutsideTheGridAreSkipped) {
    Report report;
    report.pageWidth = 4;
    Section band;
    band.texts = {item<Text>(0, 1, "a"), item<Text>(5, 1, "b"), item<Text>(1, 0, "c"), item<Text>(-3, -3, "d"),
                  item<Text>(2, 1'000'000'000, "e"), item<Text>(2, 1, "ok")};
    EXPECT_EQ(renderBand(report, band), "ok \n");
    report.pageWidth = -5;
    EXPECT_EQ(renderBand(report, band), "");
}

TEST(ReportRenderTest, DateTimeIsTheMomentOfRendering) {
    platform::Clock::Fixed fixed(platform::Date(86400.0 * 365));
    Report report;
    report.pageWidth = 14;
    Section band;
    band.functions = {item<Function>(1, 1, "DateTime")};
    const auto text = renderBand(report, band);
    EXPECT_EQ(text.size(), 14u);
    EXPECT_EQ(text.substr(8, 1), "_");
}

class ReportRunTest : public TrekoraTest {
protected:
    std::shared_ptr<Report> report(const std::string& sql, const std::string& bodySql = "") {
        auto r = std::make_shared<Report>();
        r->pageWidth = 12;
        r->selectQuery = sql;
        r->reportHeader->fields = {item<Field>(1, 1, "H")};
        r->pageBody->selectQuery = bodySql;
        r->pageBody->functions = {item<Function>(1, 1, "RowNumber")};
        r->pageBody->fields = {item<Field>(4, 1, "B")};
        r->reportFooter->functions = {item<Function>(1, 1, "RowNumber")};
        return r;
    }
};

TEST_F(ReportRunTest, SetupStatementsRunFirstAndTheDetailQueryFillsTheBody) {
    auto& t = trekora();
    auto r = report(" ; create temp table if not exists h(v);; insert into h values (?1);\n select group_concat(v) H from h ;",
                    "select 'b' || value B from json_each('[1,2,3]') where ?1 = ?1");
    EXPECT_EQ(r->run("x", t.dbURL), "x          \n1 b1       \n2 b2       \n3 b3       \n4          \n");
    EXPECT_EQ(r->resultString, r->run("x", t.dbURL));  // setup per connection: the same text again
    EXPECT_TRUE(console().contains("queryArray: 6"));
    EXPECT_TRUE(console().contains("filteredArray: 3"));

    // A body without its own query shows what the last detail loop left.
    auto once = report("select 'h' H, 'b' B");
    once->rowNumber = 0;
    EXPECT_EQ(once->run("", t.dbURL), "h          \n0 b        \n0          \n");
    // No main row: the empty text.
    EXPECT_EQ(report("select 1 H where 0")->run("", t.dbURL), "");
}

TEST_F(ReportRunTest, FailuresAreOneLineOfChyba) {
    auto& t = trekora();
    auto missing = report("select * from nic");
    EXPECT_EQ(missing->run("", t.dbURL), "chyba! no such table: nic");
    auto detail = report("select 'h' H", "select * from nic");
    EXPECT_EQ(detail->run("", t.dbURL), "chyba! no such table: nic");
    EXPECT_EQ(detail->resultString, "h          \n");
    EXPECT_EQ(report(" ;\n ; ")->run("", t.dbURL).rfind("chyba! ", 0), 0u);
    EXPECT_EQ(report("select ?1, ?2")->run("", t.dbURL).rfind("chyba! ", 0), 0u);
    EXPECT_EQ(report("select 1")->run("", env().documentsPath("no/such/dir/x.db3")), "chyba! nemôžem otvoriť databázu");
}

TEST_F(ReportRunTest, GetReportChoosesByLeadingNumber) {
    trekora();
    DataItem data;
    EXPECT_EQ(data.getReport("1", "0"), "");  // no report: the empty text
    data.reports = {report("select 'first' H"), report("select 'second' H")};
    auto first = [&](const std::string& index) { return data.getReport("", index).substr(0, 6); };
    EXPECT_EQ(first("1"), "second");
    EXPECT_EQ(first(" 1"), "second");
    for (const char* index : {"0", "", "a1", "5"}) EXPECT_EQ(first(index), "first ") << index;
    EXPECT_EQ(data.getReport("", "-1"), "");
}
