#include "support/TrekoraTestEnvironment.h"

#include "platform/FileManager.h"
#include "platform/Places.h"
#include "report/DataItem.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class ReportParserTest : public TrekoraTest {
protected:
    // Parses `xml` as a resource file and returns the definitions it yields.
    std::vector<std::shared_ptr<DataItem>> parse(const std::string& xml) {
        Trekora& t = trekora();
        const std::string dir = env().documentsPath("res");
        platform::FileManager::createDirectory(dir);
        std::ofstream(dir + "/defs.xml", std::ios::binary) << xml;
        platform::Places::setResourcesDirectory(dir);
        t.helpDataItems.clear();
        console().clear();
        t.readDataItems("defs.xml");
        platform::Places::setResourcesDirectory(TrekoraTestEnvironment::resources());
        auto items = t.helpDataItems;
        t.helpDataItems.clear();
        return items;
    }
};

} // namespace

TEST_F(ReportParserTest, BuildsDefinitionsReportsAndSections) {
    auto items = parse(R"(<Definitions>
  <DataItem Name=" hotovost " ParentName="doklady" Caption="Hotovost">
    <Sql>select ID from vety where a &lt; b &amp;&amp; 1</Sql>
    <Actions>tlac</Actions>
    <Report Id=" 7 " PageWidth="40x" PageHeight="a60" Top="-2">
      <Description>doklad</Description>
      <ReportHeader>
        <Text X=" 7 " Y="1" Value="  DOKLAD  " Format="%-10s"/>
        <Field X="10" Y="1" Name="CDOK" Format="%s"/>
        <Function X="27" Y="1" Name="DateTime"/>
        <Sql>dropped</Sql>
      </ReportHeader>
      <PageBody><Sql>first</Sql></PageBody>
      <PageBody><Sql>second</Sql><Text Y="2"/></PageBody>
      <PageFooter><Sql>footer sql</Sql></PageFooter>
      <Sql>report sql</Sql>
    </Report>
  </DataItem>
  <DataItem Name="bez_sql"/>
  <Unknown><Sql>x</Sql></Unknown>
</Definitions>)");
    ASSERT_EQ(items.size(), 2u);
    const auto& d = *items[0];
    EXPECT_EQ(d.name, " hotovost ");
    EXPECT_EQ(d.parentName, "doklady");
    EXPECT_EQ(d.caption, "Hotovost");
    EXPECT_NE(d.selectQuery.find("select ID from vety where a < b && 1"), std::string::npos);
    EXPECT_EQ(d.selectQuery.find_first_not_of(" \n"), d.selectQuery.find("select"));  // leading white space kept
    EXPECT_NE(d.actions.find("tlac"), std::string::npos);
    ASSERT_EQ(d.reports.size(), 1u);
    const auto& r = *d.reports[0];
    EXPECT_EQ(r.ido, 7);
    EXPECT_EQ(r.pageWidth, 40);
    EXPECT_EQ(r.pageHeight, 0);
    EXPECT_EQ(r.top, -2);
    EXPECT_NE(r.description.find("doklad"), std::string::npos);
    EXPECT_NE(r.selectQuery.find("report sql"), std::string::npos);
    ASSERT_EQ(r.reportHeader->texts.size(), 1u);
    EXPECT_EQ(r.reportHeader->texts[0]->x, 7);
    EXPECT_EQ(r.reportHeader->texts[0]->value, "  DOKLAD  ");
    EXPECT_EQ(r.reportHeader->texts[0]->format, "%-10s");
    EXPECT_EQ(r.reportHeader->fields[0]->name, "CDOK");
    EXPECT_EQ(r.reportHeader->functions[0]->name, "DateTime");
    EXPECT_EQ(r.reportHeader->selectQuery, "");
    EXPECT_NE(r.pageBody->selectQuery.find("second"), std::string::npos);
    EXPECT_EQ(r.pageBody->texts[0]->x, 0);
    EXPECT_EQ(r.pageFooter->selectQuery, "");
    EXPECT_TRUE(r.pageHeader->texts.empty());
    EXPECT_EQ(items[1]->name, "bez_sql");
    EXPECT_EQ(items[1]->selectQuery, "");
    EXPECT_TRUE(items[1]->reports.empty());
    EXPECT_TRUE(console().contains("end parsing..."));
    EXPECT_TRUE(console().contains("start parsing ...defs.xml"));
}

TEST_F(ReportParserTest, ASyntaxErrorKeepsTheDefinitionsFinishedBeforeIt) {
    auto items = parse("<D><DataItem Name=\"a\"><Sql>select 1</Sql></DataItem><DataItem Name=\"b\"><oops></DataItem></D>");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->name, "a");
    // The parse ends at the error; the trace after it is still written.
    EXPECT_TRUE(console().contains("start parsing ...defs.xml"));
    EXPECT_FALSE(console().contains("end parsing..."));
}

TEST_F(ReportParserTest, AMissingFileGivesNoDefinitions) {
    Trekora& t = trekora();
    t.helpDataItems.clear();
    t.readDataItems("no_such_file.xml");
    EXPECT_TRUE(t.helpDataItems.empty());
    EXPECT_TRUE(console().contains("readDataItems ....no_such_file.xml"));
}

TEST_F(ReportParserTest, AListQueryGivesUpperCasedRows) {
    auto items = parse("<D><DataItem Name=\"q\"><Sql>select 1 id, 'x' meno, null cdok, 2 ID</Sql></DataItem></D>");
    ASSERT_EQ(items.size(), 1u);
    auto rows = items[0]->getData();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("ID"), "2");
    EXPECT_EQ(rows[0].at("MENO"), "x");
    EXPECT_EQ(rows[0].at("CDOK"), "");
}
