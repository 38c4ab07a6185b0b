// The parts of the fiscal drivers that need no peer: the FT4000's status
// judgement, rows and frames, the fiscal service's bodies and its document
// record, and the print adapter's pages.

#include "fiscal/EkasaDoklad.h"
#include "fiscal/EkasaJson.h"
#include "fiscal/EkasaReply.h"
#include "fiscal/EspDocument.h"
#include "fiscal/FT4000Frames.h"
#include "fiscal/FT4000Status.h"

#include <gtest/gtest.h>

using C = Fiskal::Command;

namespace {

std::string status(unsigned char b2, unsigned char b3) { return std::string{'\x06', '\x00', char(b2), char(b3), '\x7f'}; }

std::string judge(C command, unsigned char b2, unsigned char b3 = 0) {
    return FT4000Status::decode(status(b2, b3)).messages(FT4000Status::judgedFlags(command));
}

}  // namespace

TEST(FT4000StatusTest, FlagsAreJudgedPerCommand) {
    EXPECT_EQ(judge(C::tlacDoklad, 0x20), "");
    EXPECT_EQ(judge(C::tlacDennuUzavierku, 0x20), "uz bola vykonana du!");
    EXPECT_EQ(judge(C::tlacDoklad, 0x40), "vykonajte du!");
    EXPECT_EQ(judge(C::tlacDennuUzavierku, 0x40), "");
    EXPECT_EQ(judge(C::tlacKopiuDokladu, 0x10), "tlaciaren je v stave BUSY!");
    EXPECT_EQ(judge(C::nastavDatumACas, 0x10), "");
    EXPECT_EQ(judge(C::tlacDoklad, 0x02), "");  // service required stops nothing
    EXPECT_EQ(judge(C::getStatus, 0xFF, 0xFF), "");
    EXPECT_EQ(judge(C::tlacDoklad, 0xFF),
              "existuje rozpracovany doklad! + vykonajte du! + tlaciaren je v stave BUSY! + "
              "display je v stave BUSY! + caka sa na stlacenie klavesy! + zaplnena pamat!");
    EXPECT_EQ(judge(C::tlacDoklad, 0, 0x18), "");
    auto s = FT4000Status::decode(status(0x80, 0x18 | 0x07));
    EXPECT_EQ(s.messages(FT4000Status::judgedFlagsPreRiadok()),
              "vykonava sa dlhsie trvajuci prikaz! + buffer obsahuje nespracovane data!");
    EXPECT_TRUE(s.OpenDocument);
    EXPECT_FALSE(s.PrinterDisconnected);
    // A short reply reads only what is there.
    EXPECT_EQ(FT4000Status::decode(std::string("\x06\x00", 2)), FT4000Status{});
}

TEST(FT4000FramesTest, DocumentRows) {
    auto fiscal = FT4000Frames::fiscalRows("ESCESCbA\nescx ESCx\n", "A");
    ASSERT_EQ(fiscal.size(), 4u);
    EXPECT_EQ(fiscal[0], "\x1b\x1b\x62" "A\r\n");
    EXPECT_EQ(fiscal[1], "escx \x1bx\r\n");
    EXPECT_EQ(fiscal[2], "\r\n");
    EXPECT_EQ(fiscal[3], "\x1b\x46\x0c\x03");
    auto plain = FT4000Frames::nonFiscalRows("", "a");
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[0], FT4000Frames::initSequence + "\x1b\x6e\r\n");
    EXPECT_EQ(plain[1], "\x0c");
    EXPECT_EQ(FT4000Frames::lineCount(""), 1u);
    // A row with letters outside ASCII goes out in code page 852, never dropped.
    EXPECT_EQ(FT4000Frames::rowBytes("Čaj č\xe2\x82\xac\r\n"), "\xac" "aj \x9f?\r\n");
}

TEST(FT4000FramesTest, SingleFrames) {
    auto frame = [](C c, std::map<std::string, std::string> p) { return FT4000Frames::singleFrame(c, p); };
    EXPECT_EQ(frame(C::tlacKopiuUzavierkyPodlaCisla, {{"CISLO", "5"}}).bytes, "\x1b\x43\x44" "000000005\r");
    EXPECT_EQ(frame(C::tlacKopieDokladovZaUzavierku, {{"CISLO", "12"}}).bytes, "\x1b\x43\x62" "12\r9999\r");
    EXPECT_EQ(frame(C::tlacSumarObratov, {{"DATUM_OD", "01.01.2024"}, {"DATUM_DO", "31.01.2024"}}).bytes,
              "\x1b\x7a" "01.01.202431.01.2024\r");
    EXPECT_EQ(frame(C::tlacKopiuDokladu, {{"CISLO_UZAVIERKY", "7"}, {"CISLO_DOKLADU", "3"}, {"TYP_DOKLADU", "h"}}).bytes,
              "\x1b\x43\x62" "7\r3\r");
    EXPECT_EQ(frame(C::tlacKopiuDokladu, {{"CISLO_UZAVIERKY", "7"},
                                          {"CISLO_DOKLADU", "3"},
                                          {"TYP_DOKLADU", "H"},
                                          {"ODSTRANKOVAT_DOKLAD", "A"}})
                  .bytes,
              FT4000Frames::initSequence + "\x1b\x43\x62" "7\r3\r\x1b\x46\x0c\x03");
    auto dt = frame(C::nastavDatumACas, {{"DATUM_A_CAS", "240315102030"}});
    EXPECT_EQ(dt.bytes, "\x1bt11111" "60" "71" "85" "91" ":3" ";0" "40" "52" "20" "33" "\r");
    EXPECT_EQ(dt.bytes.size(), 28u);

    // What a frame cannot be built from sends nothing and says why.
    for (auto bad : {frame(C::nastavDatumACas, {{"DATUM_A_CAS", "24031510203"}}),
                     frame(C::nastavDatumACas, {{"DATUM_A_CAS", "2403151020AB"}}),
                     frame(C::tlacKopiuUzavierkyPodlaCisla, {}),
                     frame(C::tlacSumarObratov, {{"DATUM_OD", "01.01.2024"}}),
                     frame(C::tlacKopiuDokladu, {{"CISLO_UZAVIERKY", "7"}, {"CISLO_DOKLADU", "č"}})}) {
        EXPECT_TRUE(bad.bytes.empty());
        EXPECT_FALSE(bad.error.empty());
    }
    EXPECT_NE(frame(C::tlacSumarObratov, {{"DATUM_OD", "01.01.2024"}}).error.find("DATUM_DO"), std::string::npos);
}

TEST(FT4000FramesTest, RepliesReadBack) {
    EXPECT_EQ(FT4000Frames::infoText("0012\x03"), "0012\x03");
    EXPECT_EQ(FT4000Frames::infoText("00\x80\x03"), "0");
    std::string values = std::string("\xff\xff", 2) + std::string(453, 'x') + "\xff\xff";
    EXPECT_EQ(FT4000Frames::valuesText(values), std::string(453, 'x'));
    values[100] = '\x90';
    EXPECT_EQ(FT4000Frames::valuesText(values), "");
}

TEST(EkasaJsonTest, BodiesEscapeTheirTexts) {
    const std::string printer =
        "{\"socket\" : \"tcp://10.0.0.9:9100\",\"numberOfCharInRow\" : 48,\"codingNumber\" : 30}";
    EXPECT_EQ(EkasaJson::printData("", "10.0.0.9"), "{\"printData\" : \"\",\"printer\" : " + printer + "}");
    EXPECT_EQ(EkasaJson::lastDocument("10.0.0.9"), "{\"printer\" : " + printer + "} ");
    EXPECT_EQ(EkasaJson::documentBySequenceId("00042", "03", "2024", "10.0.0.9"),
              "{\"documentBySequenceId\" : {\"sequenceId\" : \"00042\",\"month\" : \"03\", \"year\": \"2024\"},"
              "\"printer\" : " + printer + "} ");
    auto body = EkasaJson::printData("Cena \"akcia\"\nč\\", "10.0.0.9");
    auto parsed = nlohmann::json::parse(body);
    EXPECT_EQ(parsed["printData"], "Cena \"akcia\"\nč\\");
    EXPECT_EQ(nlohmann::json::parse(EkasaJson::otherLocation("ZA-482KM \"x\"", "1.2.3.4"))["otherLocation"],
              "ZA-482KM \"x\"");
    EXPECT_TRUE(nlohmann::json::parse(EkasaJson::fixDocument())["fixDocument"]["useLastMerchant"].get<bool>());
}

TEST(EkasaJsonTest, ReceiptLosesOnlyItsTrailingComma) {
    EXPECT_EQ(EkasaJson::receiptBody("{&quot;items&quot; : [{&quot;n&quot; : &quot;Syr, tav.&quot;},{&quot;n&quot; : 1},]}"),
              "{\"items\" : [{\"n\" : \"Syr, tav.\"},{\"n\" : 1} ]}");
    // No trailing comma: the comma inside the last item's text stays.
    EXPECT_EQ(EkasaJson::receiptBody("{\"a\" : 1, \"n\" : \"x, y\"}"), "{\"a\" : 1, \"n\" : \"x, y\"}");
    EXPECT_EQ(EkasaJson::unquote("&quot;a&quot;,"), "\"a\",");
}

TEST(EkasaJsonTest, PardokIsCutByField) {
    auto p = EkasaJson::cutPardok("20240300042");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->year, "2024");
    EXPECT_EQ(p->month, "03");
    EXPECT_EQ(p->sequenceId, "00042");
    EXPECT_EQ(EkasaJson::cutPardok("202403123456")->sequenceId, "123456");
    EXPECT_FALSE(EkasaJson::cutPardok("2024030004"));
    EXPECT_FALSE(EkasaJson::cutPardok(""));
    EXPECT_FALSE(EkasaJson::cutPardok("2024-3-00042"));
}

TEST(EkasaDokladTest, ReferenceAndDatesFromTheRecord) {
    auto d = EkasaDoklad::fromReply(nlohmann::json::parse(
        R"({"document": {"externalId": "1234", "uuid": "U", "sequenceId": 42, "createDate": "15.03.2024 10:20:30",
            "issueDate": "2024-03-15 10:20:30"}})"));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->pardok(), "20240300042");
    EXPECT_EQ(d->datumVytvor(), "2024-03-15 10:20:30");
    EXPECT_FALSE(d->datumVystav());
    EXPECT_FALSE(d->datumEvid());
    EXPECT_FALSE(d->okp);

    auto cash = EkasaDoklad::fromReply(nlohmann::json::parse(
        R"({"document": null, "cash": {"sequenceId": 123456, "createDate": "15.03.2024 10:20:30"}})"));
    ASSERT_TRUE(cash);
    EXPECT_EQ(cash->pardok(), "202403123456");
    EXPECT_EQ(EkasaDoklad::fromObject(nlohmann::json::parse(R"({"sequenceId": "42"})")).pardok(), "00000000000");
    // A date too short for its year and month is not read beyond its end.
    EXPECT_EQ(EkasaDoklad::fromObject(nlohmann::json::parse(R"({"createDate": "15.03.2"})")).pardok(), "00000000000");
    EXPECT_FALSE(EkasaDoklad::fromReply(nlohmann::json::parse(R"({"print": "ok"})")));
}

TEST(EspDocumentTest, PageEndsFollowEveryPageHeightLessOneLines) {
    const std::string s = EspDocument::startSequence, e = EspDocument::closing;
    EXPECT_EQ(EspDocument::printText("1\n2\n3\n4\n5", 3), s + "1\n2\n\r\x0c" "3\n4\n\r\x0c" "5\n" + e);
    EXPECT_EQ(EspDocument::printText("1\n", 2), s + "1\n\r\x0c\n\r\x0c" + e);
    EXPECT_EQ(EspDocument::printText("1\n2", 0), s + "1\n2\n" + e);
    EXPECT_EQ(EspDocument::bytes("č"), "\x9f");
}

TEST(EkasaReplyTest, AnErrorWithoutWordsIsStillAnError) {
    auto ok = std::make_shared<platform::HttpUrlResponse>(*platform::Url::parse("http://127.0.0.1/api"), 200,
                                                          std::vector<std::pair<std::string, std::string>>{});
    auto texts = EkasaReply::requestTexts();
    EXPECT_FALSE(EkasaReply::judge(std::string(R"({"error": ""})"), ok, std::nullopt, texts).error.empty());
    EXPECT_TRUE(EkasaReply::judge(std::string(R"({"error": 5, "document": {}})"), ok, std::nullopt, texts).ok());
    EXPECT_EQ(EkasaReply::judge(std::string("[1]"), ok, std::nullopt, texts).error, "neplatna odpoved z fiskalu!");
    EXPECT_EQ(EkasaReply::judge(std::nullopt, ok, std::nullopt, texts).error, "ziadne data z fiskalu!");
}
