#include "fiscal/DriverFixture.h"

#include "fiscal/FT5000.h"

namespace {

const std::string kReceipt =
    "ESCbPOKLADNIČNÝ DOKLAD č. 123\n\nRožok      2 ks     0,30\nMlieko     1 ks     0,89\n   \n"
    "ESCkSPOLU EUR          1,49\nĎakujeme, príďte opäť\n";
const std::string kClosing =
    "ESCVDENNÁ UZÁVIERKA\nTržba spolu      1234,56\nDPH 20 %          205,76\nÚčet: Señor €\n";

// A plain document of numbered rows, each `width` dots long.
std::string rowsOf(std::size_t rows, std::size_t width = 80) {
    std::string document;
    for (std::size_t r = 0; r < rows; ++r) document += "Riadok " + std::to_string(r) + std::string(width, '.') + "\n";
    return document;
}

}  // namespace

using FT5000Run = DriverTest;

TEST_F(FT5000Run, CashReceiptBytesAndProgress) {
    FakePrinter printer(kGreeting);
    ASSERT_TRUE(printer.ok());
    auto driver = make<FT5000>(printer.port());
    driver->request(Fiskal::Command::tlacDoklad, kReceipt, {{"CDOK", "123"}, {"ODSTRANKOVAT_DOKLAD", "A"}});
    ASSERT_TRUE(runToEnd());
    ASSERT_TRUE(printer.waitForClose());
    EXPECT_EQ(1, client->finished);
    EXPECT_EQ("OK", client->result.value_or(""));
    EXPECT_EQ(Fiskal::Command::tlacDoklad, client->command);
    EXPECT_EQ(expected("ft5000_receipt.bin"), printer.received());
    // Set-up row, five lines, page break; 8 lines of text give 20 steps.
    ASSERT_EQ(7u, client->progress.size());
    EXPECT_FLOAT_EQ(7.0f / 20.0f, client->progress.back());
}

TEST_F(FT5000Run, DailyClosingBytesWithLettersOutsideTheCodePage) {
    FakePrinter printer(kGreeting);
    ASSERT_TRUE(printer.ok());
    auto driver = make<FT5000>(printer.port());
    driver->request(Fiskal::Command::tlacDennuUzavierku, kClosing, {{"ODSTRANKOVAT_DOKLAD", "a"}});
    ASSERT_TRUE(runToEnd());
    ASSERT_TRUE(printer.waitForClose());
    EXPECT_EQ("OK", client->result.value_or(""));
    EXPECT_EQ(expected("ft5000_closing.bin"), printer.received());
    // A closing counts 12 steps: set-up row and four lines.
    EXPECT_FLOAT_EQ(5.0f / 12.0f, client->progress.back());
}

TEST_F(FT5000Run, GreetingVariantsAndEmptyDocuments) {
    {
        SCOPED_TRACE("no greeting configured: the rows go out at once");
        FakePrinter printer("");
        auto driver = make<FT5000>(printer.port(), "");
        driver->request(Fiskal::Command::tlacNefiskalnyDoklad, "ahoj");
        ASSERT_TRUE(runToEnd());
        ASSERT_TRUE(printer.waitForClose());
        EXPECT_EQ("OK", client->result.value_or(""));
        EXPECT_EQ(std::string("\x1bt\x12" "ahoj\r\n", 9), printer.received());
    }
    {
        SCOPED_TRACE("a longer greeting with other bytes still lets the run go on");
        client = std::make_shared<RecordingClient>();
        FakePrinter printer("#-Other-Adapter-#-and-more");
        auto driver = make<FT5000>(printer.port());
        driver->request(Fiskal::Command::tlacNefiskalnyDoklad, "ahoj");
        ASSERT_TRUE(runToEnd());
        EXPECT_EQ("OK", client->result.value_or(""));
    }
    for (const std::string& text : {std::string(), std::string("\n   \n\n")}) {
        SCOPED_TRACE("nothing to print is an error, not OK");
        client = std::make_shared<RecordingClient>();
        FakePrinter printer(kGreeting);
        auto driver = make<FT5000>(printer.port());
        driver->request(Fiskal::Command::tlacDoklad, text, {{"ODSTRANKOVAT_DOKLAD", "A"}});
        ASSERT_TRUE(runToEnd());
        EXPECT_EQ(1, client->finished);
        EXPECT_EQ(Fiskal::kPrazdnyDoklad, client->result.value_or(""));
        ASSERT_TRUE(printer.waitForClose());
        EXPECT_EQ("", printer.received());
    }
}

TEST_F(FT5000Run, EveryMisbehaviourEndsInOneClearError) {
    expectEveryMisbehaviourEndsOnce([this](std::uint16_t port) { return make<FT5000>(port); });
}

TEST_F(FT5000Run, PrinterClosingMidwayNeverGetsOK) {
    // Small documents, which the printer's stack takes whole before the
    // printer drops most of them, and large ones, which it cannot take.
    const std::size_t rows[] = {12, 400, 12, 400, 400};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const std::string document = rowsOf(rows[i]);
        client = std::make_shared<RecordingClient>();
        FakePrinter printer(kGreeting, FakePrinter::Mode::closeMidway);
        printer.setCloseAfterBytes(300 + 150 * i, 20);
        auto driver = make<FT5000>(printer.port());
        driver->request(Fiskal::Command::tlacDoklad, document);
        ASSERT_TRUE(runToEnd());
        EXPECT_EQ(1, client->finished);
        EXPECT_NE("OK", client->result.value_or("OK"));
        ASSERT_TRUE(printer.waitForClose());
        EXPECT_LT(printer.received().size(), document.size());
    }
    {
        SCOPED_TRACE("a printer that takes no more bytes ends the wait after its bound");
        client = std::make_shared<RecordingClient>();
        FakePrinter printer(kGreeting, FakePrinter::Mode::stopReading);
        auto driver = make<FT5000>(printer.port());
        driver->deliveryTimeout = 0.3;
        driver->request(Fiskal::Command::tlacDoklad, std::string(200, 'x') + "\n" + std::string(20000, 'y'));
        ASSERT_TRUE(runToEnd());
        EXPECT_EQ("Write operation timed out", client->result.value_or(""));
    }
    // A printer pausing for paper is not cut off after a couple of seconds.
    EXPECT_GE(std::make_shared<FT5000>(client, "127.0.0.1", 1, kGreeting)->writeTimeout, 30.0);
}

TEST_F(FT5000Run, PrinterClosingItsSideAfterTakingEveryByteGetsOK) {
    const std::string document = rowsOf(12, 40);
    {
        SCOPED_TRACE("the adapter closes a moment after the last byte, before the wait after it is over");
        FakePrinter printer(kGreeting, FakePrinter::Mode::closeWhenDone);
        printer.setCloseAfterBytes(0, 100);
        auto driver = make<FT5000>(printer.port());
        driver->request(Fiskal::Command::tlacDoklad, document);
        ASSERT_TRUE(runToEnd());
        EXPECT_EQ(1, client->finished);
        EXPECT_EQ("OK", client->result.value_or(""));
        ASSERT_TRUE(printer.waitForClose());
        // Set-up row, then every line with its CR LF.
        EXPECT_EQ(3u + document.size() + 12u, printer.received().size());
    }
    {
        SCOPED_TRACE("closing its side with bytes not yet taken is no OK");
        client = std::make_shared<RecordingClient>();
        FakePrinter printer(kGreeting, FakePrinter::Mode::halfCloseMidway);
        printer.setCloseAfterBytes(300, 300);
        auto driver = make<FT5000>(printer.port());
        std::string large;
        for (int r = 0; r < 400; ++r) large += document;
        driver->request(Fiskal::Command::tlacDoklad, large);
        ASSERT_TRUE(runToEnd());
        EXPECT_EQ(1, client->finished);
        EXPECT_NE("OK", client->result.value_or("OK"));
    }
}

TEST_F(FT5000Run, AdapterClosingItsSideEarlyStillTakesEveryByte) {
    // Its side closed right after the greeting or after 100 bytes, small and
    // large documents: every byte goes out and the acknowledgement decides.
    const struct {
        std::size_t closeAfter;
        std::size_t rows;
    } cases[] = {{0, 14}, {0, 14}, {100, 14}, {100, 14}, {100, 14}, {100, 14}, {0, 3000}, {100, 3000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.closeAfter) + " bytes, " + std::to_string(c.rows) + " rows");
        const std::string document = rowsOf(c.rows);
        client = std::make_shared<RecordingClient>();
        FakePrinter printer(kGreeting, FakePrinter::Mode::closeSideEarly);
        printer.setCloseAfterBytes(c.closeAfter);
        auto driver = make<FT5000>(printer.port());
        driver->request(Fiskal::Command::tlacDoklad, document);
        ASSERT_TRUE(runToEnd());
        EXPECT_EQ(1, client->finished);
        EXPECT_EQ("OK", client->result.value_or(""));
        ASSERT_TRUE(printer.waitForClose());
        // Set-up row, then every line with its CR LF.
        EXPECT_EQ(3u + document.size() + c.rows, printer.received().size());
    }
}
