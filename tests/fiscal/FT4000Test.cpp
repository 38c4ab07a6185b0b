// The FT4000 driver against the fake printer on 127.0.0.1: whole
// conversations compared with expected byte files, the status flags, a busy
// printer, a connection closed mid-document and frames that cannot be built.

#include "fakes/FakeFT4000.h"
#include "fiscal/DriverFixture.h"
#include "fiscal/FT4000.h"

using C = Fiskal::Command;

namespace {

class ValuesClient : public RecordingClient {
public:
    void fiskalFinished(Fiskal::Command c, const std::optional<std::string>& error, const std::optional<NetBytes>& data,
                        const std::string& i, const std::string& h, const std::string& d, const std::string& p,
                        Fiskal::Tag t) override {
        RecordingClient::fiskalFinished(c, error, data, i, h, d, p, t);
        info = i;
        hodnoty = h;
        pocetDokladov = p;
    }
    std::string info, hodnoty, pocetDokladov;
};

class FT4000Run : public DriverTest {
protected:
    std::string run(C command, const std::string& txt = "", std::map<std::string, std::string> parameters = {}) {
        values = std::make_shared<ValuesClient>();
        client = values;
        auto driver = make<FT4000>(printer.port());
        driver->readTimeout = 1.0;
        driver->SERIAL_WIFI_DELAY = 1000;
        driver->preRiadokPollInterval = 0.01;
        driver->preRiadokMaxPolls = 5;
        driver->request(command, txt, parameters);
        EXPECT_TRUE(runToEnd());
        EXPECT_EQ(client->finished, 1);
        return client->result.value_or("<none>");
    }

    FakeFT4000 printer;
    std::shared_ptr<ValuesClient> values;
};

const std::string kReceipt = "ESCbPOKLADNIČNÝ DOKLAD\nRožok 2 ks 0,30\nESCkSPOLU 0,30";

}  // namespace

TEST_F(FT4000Run, ReceiptConversation) {
    printer.setValuesText("SUMA 0.30");
    EXPECT_EQ(run(C::tlacDoklad, kReceipt, {{"CDOK", "1001"}, {"ODSTRANKOVAT_DOKLAD", "A"}}), "OK");
    EXPECT_EQ(printer.received(), expected("ft4000_receipt.bin"));
    // Four rows: four steps of 12 + 3.
    ASSERT_EQ(client->progress.size(), 4u);
    EXPECT_FLOAT_EQ(client->progress.back(), 4.0f / 15.0f);
    EXPECT_EQ(values->pocetDokladov, "0012\x03");
    EXPECT_EQ(values->hodnoty, "SUMA 0.30" + std::string(444, ' '));
}

TEST_F(FT4000Run, BusyPrinterIsPolledUntilReady) {
    printer.setBusyAfterFirst(3);
    EXPECT_EQ(run(C::tlacNefiskalnyDoklad, "riadok"), "OK");
    // Gate, three busy polls, then one good poll per row (2 rows) and one after them.
    EXPECT_EQ(printer.statusRequests(), 1 + 3 + 2 + 1);
}

TEST_F(FT4000Run, BusyForEverEndsAfterTheBound) {
    printer.setBusyAfterFirst(-1);
    EXPECT_EQ(run(C::tlacDoklad, "riadok"), "tlaciaren je v stave BUSY!");
    EXPECT_EQ(printer.statusRequests(), 1 + 5);
    EXPECT_EQ(printer.received().find("riadok"), std::string::npos);
}

TEST_F(FT4000Run, ClosingConversation) {
    printer.setInfoReply("0042");
    // Printing the closing takes a while, but less than a read may wait.
    printer.setClosingTime(500);
    EXPECT_EQ(run(C::tlacDennuUzavierku), "OK");
    EXPECT_EQ(printer.received(), expected("ft4000_closing.bin"));
    EXPECT_EQ(values->pocetDokladov, "0042\x03");
    EXPECT_EQ(values->info, "0042\x03");
    EXPECT_TRUE(client->progress.empty());
}

TEST_F(FT4000Run, ClosingInfoLaterThanTheReadBoundEndsTheRun) {
    // The printer answers only after the closing, later than a read may wait.
    printer.setClosingTime(1500);
    EXPECT_EQ(run(C::tlacDennuUzavierku), "Read operation timed out");
}

TEST_F(FT4000Run, SingleFramesAndFramesThatCannotBeBuilt) {
    EXPECT_EQ(run(C::nastavDatumACas, "", {{"DATUM_A_CAS", "261207081530"}}), "OK");
    EXPECT_EQ(printer.received(), expected("ft4000_datetime.bin"));
    const std::string sent = printer.received();
    EXPECT_EQ(run(C::nastavDatumACas, "", {{"DATUM_A_CAS", "26120708153"}}), "DATUM_A_CAS musi mat 12 cislic: '26120708153'!");
    EXPECT_EQ(run(C::tlacSumarObratov, "", {{"DATUM_OD", "01.12.2026"}}), "chyba parameter DATUM_DO!");
    // Nothing but the status requests went out for them.
    EXPECT_EQ(printer.received(), sent + "\x1b\x11\x1b\x11");
    EXPECT_EQ(run(C::getStatus), "OK");
    EXPECT_EQ(run(C::tlacUhraduFaktury), "nepodporovaná funkcia!");
}

TEST_F(FT4000Run, EveryJudgedFlagIsReportedWithItsText) {
    const struct { C command; unsigned char b2, b3; const char* message; } cases[] = {
        {C::tlacDoklad, 0x80, 0, "existuje rozpracovany doklad!"},
        {C::tlacDoklad, 0x40, 0, "vykonajte du!"},
        {C::tlacDennuUzavierku, 0x20, 0, "uz bola vykonana du!"},
        {C::tlacKopiuDokladu, 0x10, 0, "tlaciaren je v stave BUSY!"},
        {C::tlacDoklad, 0x08, 0, "display je v stave BUSY!"},
        {C::tlacDoklad, 0x04, 0, "caka sa na stlacenie klavesy!"},
        {C::tlacDoklad, 0x01, 0, "zaplnena pamat!"},
        {C::tlacDoklad, 0, 0x80, "odpojena fisklana pamat!"},
        {C::nastavDatumACas, 0, 0x40, "odpojeny display!"},
        {C::tlacPrehladovuUzavierku, 0, 0x20, "odpojena tlaciaren"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        printer.setStatus(c.b2, c.b3);
        const std::size_t before = printer.received().size();
        EXPECT_EQ(run(c.command, "riadok", {{"DATUM_A_CAS", "261207081530"}}), c.message);
        EXPECT_EQ(printer.received().substr(before), "\x1b\x11");
    }
}

TEST_F(FT4000Run, ConnectionClosedMidDocument) {
    printer.closeAtStatusRequest(4);
    const std::string result = run(C::tlacDoklad, kReceipt);
    EXPECT_NE(result, "OK");
    EXPECT_FALSE(result.empty());
}
