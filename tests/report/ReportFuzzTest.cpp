#include "support/TrekoraTestEnvironment.h"

#include "platform/FileManager.h"
#include "platform/Places.h"
#include "report/DataItem.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace {

class ReportFuzzTest : public TrekoraTest {
protected:
    // Parses `xml` as a definition file of the resources.
    std::vector<std::shared_ptr<DataItem>> parse(const std::string& xml) {
        Trekora& t = trekora();
        const std::string dir = env().documentsPath("res");
        platform::FileManager::createDirectory(dir);
        std::ofstream(dir + "/fuzz.xml", std::ios::binary) << xml;
        platform::Places::setResourcesDirectory(dir);
        t.helpDataItems.clear();
        t.readDataItems("fuzz.xml");
        platform::Places::setResourcesDirectory(TrekoraTestEnvironment::resources());
        auto items = t.helpDataItems;
        t.helpDataItems.clear();
        return items;
    }

    std::mt19937 random{20261207};
    std::string pick(std::initializer_list<const char*> choices) {
        auto it = choices.begin();
        std::advance(it, std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random));
        return *it;
    }
    std::string number() {
        return pick({"1", "2", "3", "7", "40", "0", "-1", "-2147483649", "99999999999999999999", " 5 ", "x", "",
                     "1024", "1025", "2000000000", "3a"});
    }
    std::string format() {
        std::string f;
        const int parts = std::uniform_int_distribution<int>(0, 4)(random);
        for (int i = 0; i < parts; ++i)
            f += pick({"%", "s", "d", "i", "f", "n", "p", "*", ".", "-", "0", "9", "99999", "l", "ll", "h", "%%",
                       "x", "č", " ", "#", "+", "%5.2f", "%-10s", "%lld", "%ls", "%c", "%999s"});
        return f;
    }
    std::string item() {
        const std::string kind = pick({"Text", "Field", "Function"});
        std::string name = kind == "Text" ? "Value" : "Name";
        std::string value = pick({"A", "B", "C", "D", "N", "RowNumber", "PageOf", "DateTime", "čaj", "", "nic"});
        return "<" + kind + " X=\"" + number() + "\" Y=\"" + number() + "\" " + name + "=\"" + value +
               "\" Format=\"" + format() + "\"/>";
    }
    std::string definitions() {
        std::string xml = "<D>";
        const int items = std::uniform_int_distribution<int>(1, 3)(random);
        for (int d = 0; d < items; ++d) {
            xml += "<DataItem Name=\"d\"><Report PageWidth=\"" + number() + "\">";
            xml += "<Sql>" +
                   pick({"select 'x' A, 2.5 B, 5000000000 C, null D, '' N", "select ?1 A",
                         "create temp table if not exists t(a); select count(*) A from t", "select * from nic", ";",
                         "select ?1 A, ?2 B", "select 'čaj' A union all select 'kôň'"}) +
                   "</Sql>";
            for (const char* band : {"ReportHeader", "PageHeader", "PageBody", "PageFooter", "ReportFooter"}) {
                xml += std::string("<") + band + ">";
                if (std::string(band) == "PageBody" && random() % 2)
                    xml += "<Sql>" + pick({"select 1 A union all select 2", "select x from nic", "select ?1 C"}) +
                           "</Sql>";
                const int count = std::uniform_int_distribution<int>(0, 5)(random);
                for (int i = 0; i < count; ++i) xml += item();
                xml += std::string("</") + band + ">";
            }
            xml += "</Report></DataItem>";
        }
        return xml + "</D>";
    }
};

} // namespace

// Random definitions, formats included, and cut or damaged files: the
// parser and the renderer never crash and every run answers a text.
TEST_F(ReportFuzzTest, RandomDefinitionsNeverCrash) {
    for (int round = 0; round < 150; ++round) {
        std::string xml = definitions();
        if (round % 3 == 1) xml.resize(std::uniform_int_distribution<std::size_t>(0, xml.size())(random));
        if (round % 3 == 2) xml[std::uniform_int_distribution<std::size_t>(0, xml.size() - 1)(random)] = '<';
        for (const auto& data : parse(xml)) {
            for (const char* index : {"0", "1", "-1", "x"}) {
                const std::string text = data->getReport("p", index);
                if (text.rfind("chyba! ", 0) == 0) continue;
                EXPECT_TRUE(text.empty() || text.back() == '\n') << xml;
            }
        }
    }
}

TEST_F(ReportFuzzTest, PartialFilesKeepTheFinishedDefinitions) {
    const std::string shipped = [] {
        std::ifstream in(TrekoraTestEnvironment::resources() + "/trekora_ekasa.xml", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    const auto whole = parse(shipped);
    ASSERT_GT(whole.size(), 30u);
    // Cut in the middle of the tenth definition: the nine before it stay.
    std::size_t cut = 0;
    for (int i = 0; i < 10; ++i) cut = shipped.find("<DataItem ", cut + 1);
    auto partial = parse(shipped.substr(0, cut + 200));
    ASSERT_EQ(partial.size(), 9u);
    for (std::size_t i = 0; i < partial.size(); ++i) EXPECT_EQ(partial[i]->name, whole[i]->name);
    EXPECT_TRUE(parse("").empty());
    EXPECT_TRUE(parse("<D><DataItem Name=\"a\"><Report><Text X=\"1\" Y=\"1\" Value=\"&bad;\"/>").empty());
}
