#include "fiscal/DriverFixture.h"

#include "fiscal/FT5000.h"
#include "fiscal/PrinterText.h"
#include "platform/TextEncoding.h"

namespace {

// A driver that only records how its entry was reached.
class EntryDriver : public Fiskal {
public:
    using Fiskal::Fiskal;
    using Fiskal::request;
    void request(Command command, const std::string& text,
                 const std::map<std::string, std::string>& parameters) override {
        ++calls;
        seenCommand = command;
        seenText = text;
        seenParameters = parameters;
    }
    void step() { reportProgressStep(); }
    int calls = 0;
    Command seenCommand = Command::getStatus;
    std::string seenText = "unset";
    std::map<std::string, std::string> seenParameters{{"x", "y"}};
};

}  // namespace

using FiskalBase = DriverTest;

TEST_F(FiskalBase, PlainRequestDoesNothingAndShorthandsReachTheDriversEntry) {
    auto plain = std::make_shared<Fiskal>(client, "127.0.0.1", 1, "");
    plain->request(Fiskal::Command::tlacDoklad, "x", {{"CDOK", "7"}});
    platform::MainRunLoop::runFor(std::chrono::milliseconds(50));
    EXPECT_EQ(0, client->finished);
    EXPECT_EQ(Fiskal::Command::getStatus, plain->fiskalCommand);
    EXPECT_TRUE(plain->cdok.empty());

    auto driver = std::make_shared<EntryDriver>(client, "h", 1, "");
    driver->request(Fiskal::Command::testWifi);
    EXPECT_EQ(1, driver->calls);
    EXPECT_EQ(Fiskal::Command::testWifi, driver->seenCommand);
    EXPECT_EQ("", driver->seenText);
    EXPECT_TRUE(driver->seenParameters.empty());

    driver->totalSteps = 0;
    driver->step();
    ASSERT_EQ(1u, client->progress.size());
    EXPECT_EQ(1.0f, client->progress[0]);
}

TEST_F(FiskalBase, RawValuesOfTimeOutsAndTags) {
    EXPECT_EQ(Fiskal::TimeOut::read, Fiskal::timeOutFromRaw(30.0));
    EXPECT_EQ(Fiskal::TimeOut::long_, Fiskal::timeOutFromRaw(8000.0));
    EXPECT_FALSE(Fiskal::timeOutFromRaw(5.0));
    EXPECT_EQ(Fiskal::Tag::testWifi, Fiskal::tagFromRaw(-1));
    EXPECT_EQ(Fiskal::Tag::statusPreRiadok, Fiskal::tagFromRaw(11));
    EXPECT_FALSE(Fiskal::tagFromRaw(0));
    EXPECT_FALSE(Fiskal::tagFromRaw(6));
}

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
