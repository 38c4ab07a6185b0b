#include "support/TrekoraTestEnvironment.h"

#include "db/SqlValue.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

namespace {
class PagesTest : public TrekoraTest {};
class PredajcaTest : public TrekoraTest {
protected:
    void TearDown() override {
        Trekora::setPredajcaTimeout(std::chrono::milliseconds(15000));
        TrekoraTest::TearDown();
    }
    std::string writeFile(const std::string& name, const std::string& bytes) {
        std::string path = env().documentsPath(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};
} // namespace

TEST_F(PagesTest, ATableHasAHeaderRowAndOneRowPerResultRow) {
    Trekora& t = trekora();
    EXPECT_EQ(t.getHtmlTable("select 1 a, null b, 'x' c where 0", std::nullopt),
              "<table border=1 cellpadding=0><tr><th>a</th><th>b</th><th>c</th></tr></table>");
    EXPECT_EQ(t.getHtmlTable("select ?1 a, null b", std::vector<SqlValue>{"v"}),
              "<table border=1 cellpadding=0><tr><th>a</th><th>b</th></tr><tr><td>v</td><td></td></tr></table>");
    EXPECT_EQ(t.getHtmlTable("select * from no_such_table", std::nullopt), "");
}

TEST_F(PagesTest, DatabaseTextIsEscaped) {
    Trekora& t = trekora();
    EXPECT_EQ(t.getHtmlTable("select '<b>&\"' \"x<y\"", std::nullopt),
              "<table border=1 cellpadding=0><tr><th>x&lt;y</th></tr><tr><td>&lt;b&gt;&amp;&quot;</td></tr></table>");
    execute("update uzivatel set meno = '<script>' where idu = 1;");
    ASSERT_TRUE(t.checkUzivatelPin("1234"));
    const std::string page = t.getUzivatelHtml();
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;"), std::string::npos);
}

TEST_F(PagesTest, TheUserPageHasItsHeadingsAndThreeTables) {
    Trekora& t = trekora();
    ASSERT_TRUE(t.checkUzivatelPin("1234"));
    const std::string page = t.getUzivatelHtml();
    EXPECT_EQ(page.rfind("<html><head><meta name='viewport' content='width=device-width, initial-scale=1, "
                         "shrink-to-fit=yes'></head><body style='font-family: arial;'><h3>stredisko:</h3><h2>"
                         "<font color='RED'>12</font></h2><h3>uzivatel:</h3><h2> <font color='RED'>1 Ján Novák"
                         "</font></h2><h3>mesačné počty jedinečných odberateľov rozdelené podľa užívateľov</h3>"
                         "<table border=1 cellpadding=0><tr><th>mesiac</th>",
                         0),
              0u)
        << page.substr(0, 600);
    EXPECT_NE(page.find("<h3>mesačné obraty rozdelené podľa užívateľov a typov dokladov</h3><table"), std::string::npos);
    EXPECT_NE(page.find("<h3>vyplata</h3><table"), std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 14), "</body></html>");

    t.dbURL = env().documentsPath("missing-dir/x.db3");
    const std::string broken = t.getUzivatelHtml();
    std::size_t count = 0;
    for (std::size_t pos = 0; (pos = broken.find("Unable to open database", pos)) != std::string::npos; ++pos) ++count;
    EXPECT_EQ(count, 3u);
}

TEST_F(PagesTest, MonthlyStatisticsKeepTheYearsApart) {
    Trekora& t = trekora();
    execute("delete from vety;"
            "insert into vety (datum, str, idu, ido, pohyb, obccsd) values"
            " ('2025-12-03', 12, 1, 501, 10, 10.5), ('2026-12-04', 12, 1, 502, 10, 20.25);");
    ASSERT_TRUE(t.checkUzivatelPin("1234"));
    const std::string page = t.getUzivatelHtml();
    EXPECT_NE(page.find("<tr><td>2026-12</td><td>12</td><td>1</td><td>1</td></tr>"
                        "<tr><td>2025-12</td><td>12</td><td>1</td><td>1</td></tr>"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<td>2025-12</td><td>12</td><td>1</td><td>10</td><td>hotovosť</td><td>10.5</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<td>2026-12</td><td>12</td><td>1</td><td>10</td><td>hotovosť</td><td>20.25</td>"),
              std::string::npos);
}

TEST_F(PredajcaTest, ReadsTheFileUnchanged) {
    Trekora& t = trekora();
    const std::string json = "{\"meno\":\"Ján Novák\",\"ulica\":\"Kragujevská 14\"}";
    EXPECT_EQ(t.readPredajcaJson(writeFile("merchant.json", json)), json);
    EXPECT_EQ(t.readPredajcaJson("file://" + writeFile("m2.json", "not json")), "not json");
    EXPECT_EQ(t.readPredajcaJson(writeFile("empty.json", "")), "");
    EXPECT_EQ(t.readPredajcaJson(env().documentsPath("missing.json")), "");
    EXPECT_EQ(t.readPredajcaJson("ht tp://not an address"), "");
    EXPECT_EQ(t.readPredajcaJson(writeFile("bad.json", "\xff\xfe")), "");
}

TEST_F(PredajcaTest, AServerThatNeverAnswersEndsInTheEmptyTextAfterTheTimeOut) {
    // A listening socket that accepts (in its backlog) but never answers.
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/merchant.json";

    Trekora& t = trekora();
    Trekora::setPredajcaTimeout(std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(t.readPredajcaJson(url), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ::close(listener);
}
