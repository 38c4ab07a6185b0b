#include "fiscal/DriverFixture.h"

#include "fiscal/LX300.h"
#include "platform/DispatchQueue.h"

#include <functional>

namespace {

std::string lines(int count, const std::string& pattern) {
    std::string text;
    char buffer[128];
    for (int i = 1; i <= count; ++i) {
        std::snprintf(buffer, sizeof buffer, pattern.c_str(), i);
        text += buffer;
        if (i < count) text += "\n";
    }
    return text;
}

}  // namespace

class LX300Run : public DriverTest {
protected:
    std::shared_ptr<LX300> makeLX300(std::uint16_t port, std::uint32_t delayMicros = 1000) {
        auto driver = make<LX300>(port);
        driver->SERIAL_WIFI_DELAY = delayMicros;
        return driver;
    }
};

TEST_F(LX300Run, NonFiscalDocumentWithPageBreaks) {
    FakePrinter printer(kGreeting);
    ASSERT_TRUE(printer.ok());
    auto driver = makeLX300(printer.port());
    driver->request(Fiskal::Command::tlacNefiskalnyDoklad, lines(45, "Riadok %02d: šťavnaté čučoriedky"),
                    {{"ODSTRANKOVAT_DOKLAD", "A"}});
    ASSERT_TRUE(runToEnd());
    ASSERT_TRUE(printer.waitForClose());
    EXPECT_EQ("OK", client->result.value_or(""));
    EXPECT_EQ(expected("lx300_nonfiscal.bin"), printer.received());
    // Set-up, 45 lines, page break, closing row, final page break.
    EXPECT_EQ(49u, client->progress.size());
    EXPECT_EQ(1.0f, client->progress.back());
}

TEST_F(LX300Run, CommandsWithoutPrintoutEndTheRunToo) {
    struct Case {
        Fiskal::Command command;
        std::string text;
        std::string result;
    };
    const std::vector<Case> cases = {
        {Fiskal::Command::testWifi, "", "OK"},
        {Fiskal::Command::nerobNic, "text", "OK"},
        {Fiskal::Command::getStatus, "text", LX300::kNeviemVykonat},
        {Fiskal::Command::aktualizujPolohu, "BA123XY", LX300::kNeviemVykonat},
        {Fiskal::Command::fixDoklad, "", LX300::kNeviemVykonat},
        {Fiskal::Command::nastavPredajcu, "", LX300::kNeviemVykonat},
        {Fiskal::Command::tlacDoklad, " \n\n", Fiskal::kPrazdnyDoklad},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Fiskal::commandName(c.command));
        client = std::make_shared<RecordingClient>();
        FakePrinter printer(kGreeting);
        auto driver = makeLX300(printer.port());
        driver->request(c.command, c.text);
        ASSERT_TRUE(runToEnd(3000));
        EXPECT_EQ(1, client->finished);
        EXPECT_EQ(c.result, client->result.value_or(""));
        ASSERT_TRUE(printer.waitForClose());
        EXPECT_EQ("", printer.received());
    }
}

TEST_F(LX300Run, MainQueueStaysResponsiveDuringALongPrintout) {
    FakePrinter printer(kGreeting);
    ASSERT_TRUE(printer.ok());
    auto driver = makeLX300(printer.port(), 5000);
    const std::string text = lines(200, "%03d Slovenská abeceda: ľščťžýáíé");

    // A timer on the main queue every 10 ms; it notes the longest gap.
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    Clock::duration longestGap{};
    int ticks = 0;
    bool ticking = true;
    std::function<void()> tick = [&] {
        const auto now = Clock::now();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ++ticks;
        if (ticking) platform::DispatchQueue::main()->asyncAfter(std::chrono::milliseconds(10), tick);
    };
    platform::DispatchQueue::main()->asyncAfter(std::chrono::milliseconds(10), tick);

    driver->request(Fiskal::Command::tlacDoklad, text);
    ASSERT_TRUE(runToEnd(20000));
    ticking = false;
    platform::MainRunLoop::runFor(std::chrono::milliseconds(30));
    EXPECT_EQ("OK", client->result.value_or(""));
    // 200 rows with 5 ms between them take a second at least; the timer kept
    // firing throughout.
    EXPECT_GE(ticks, 50);
    // Pausing the main queue after each row would hold it a whole second.
    EXPECT_LT(longestGap, std::chrono::milliseconds(400));
    ASSERT_TRUE(printer.waitForClose());
    // Set-up row, then 200 rows of 32 characters and a carriage return.
    EXPECT_EQ(3u + 200u * 33u, printer.received().size());
}

TEST_F(LX300Run, EveryMisbehaviourEndsInOneClearError) {
    expectEveryMisbehaviourEndsOnce([this](std::uint16_t port) { return makeLX300(port, 2000); });
}

TEST_F(LX300Run, PrinterClosingMidwayNeverGetsOK) {
    FakePrinter printer(kGreeting, FakePrinter::Mode::closeMidway);
    printer.setCloseAfterBytes(400, 20);
    auto driver = makeLX300(printer.port(), 0);
    const std::string document = lines(12, "Riadok %02d: ............................................");
    driver->request(Fiskal::Command::tlacNefiskalnyDoklad, document);
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(1, client->finished);
    EXPECT_NE("OK", client->result.value_or("OK"));
    ASSERT_TRUE(printer.waitForClose());
    EXPECT_LT(printer.received().size(), document.size());
}

TEST_F(LX300Run, AdapterClosingItsSideEarlyStillTakesEveryByte) {
    const std::string document = lines(12, "Riadok %02d: ............................................");
    for (std::size_t closeAfter : {0u, 100u}) {
        SCOPED_TRACE(closeAfter);
        client = std::make_shared<RecordingClient>();
        FakePrinter printer(kGreeting, FakePrinter::Mode::closeSideEarly);
        printer.setCloseAfterBytes(closeAfter);
        auto driver = makeLX300(printer.port());
        driver->request(Fiskal::Command::tlacDoklad, document);
        ASSERT_TRUE(runToEnd());
        EXPECT_EQ("OK", client->result.value_or(""));
        ASSERT_TRUE(printer.waitForClose());
        // Set-up row, then every line with its CR.
        EXPECT_EQ(3u + document.size() + 1u, printer.received().size());
    }
}
