#include "fiscal/DriverFixture.h"

#include "fiscal/FT5000.h"
#include "fiscal/PrinterText.h"
#include "platform/TextEncoding.h"

using FiskalBase = DriverTest;

TEST_F(FiskalBase, EmptyHostIsReportedOnceBeforeTheRequestReturns) {
    auto driver = std::make_shared<FT5000>(client, "", 9100, kGreeting);
    driver->request(Fiskal::Command::tlacDoklad, "riadok");
    ASSERT_EQ(1, client->finished);
    EXPECT_EQ("Invalid host parameter (nil or \"\"). Should be a domain name or IP address string.",
              client->result.value_or(""));
    EXPECT_EQ(Fiskal::Tag::status, client->tag);
    platform::MainRunLoop::runFor(std::chrono::milliseconds(200));
    EXPECT_EQ(1, client->finished);
}

TEST_F(FiskalBase, ResultFieldsOfAnEarlierRunDoNotReachTheNextOne) {
    FakePrinter printer(kGreeting);
    ASSERT_TRUE(printer.ok());
    auto driver = make<FT5000>(printer.port());
    driver->fiskalError = "stará chyba";
    driver->fiskalData = {1, 2, 3};
    driver->info = "staré";
    driver->request(Fiskal::Command::tlacNefiskalnyDoklad, "text", {{"CDOK", "42"}});
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ("OK", client->result.value_or(""));
    EXPECT_EQ(0u, client->dataSize);
    EXPECT_EQ("42", driver->cdok);
    EXPECT_TRUE(driver->info.empty());
}

TEST(PrinterText, SlovakLettersInCodePageOthersAsBaseLetterOrQuestionMark) {
    EXPECT_EQ(platform::TextEncoding::toCp852("ľščťžýáíéúäôňďĺŕ ĽŠČŤŽÝÁÍÉÚÄÔŇĎĹŔ").value(),
              PrinterText::cp852("ľščťžýáíéúäôňďĺŕ ĽŠČŤŽÝÁÍÉÚÄÔŇĎĹŔ"));
    EXPECT_EQ("Senor ? a?", PrinterText::cp852("Señor € a\xff"));
    EXPECT_EQ(std::string("\x1b\x46\x0c\x03\r\n", 6), PrinterText::cp852(std::string("\x1b\x46\x0c\x03\r\n", 6)));
}
