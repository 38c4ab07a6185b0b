// The fiscal service driver against the fake service on 127.0.0.1: a cash
// sale registered and its identifiers written back, the duplicate refused,
// the cash documents, copies and settings, and every misbehaviour of the
// service ending in one completion with the document unchanged.

#include "fakes/FakeFiscalService.h"
#include "fakes/KeepAliveFront.h"
#include "fiscal/DriverFixture.h"
#include "fiscal/Ekasa.h"
#include "fiscal/EkasaJson.h"
#include "fiscal/EkasaNeiste.h"
#include "posting/PostingFixture.h"

#include "platform/Clock.h"
#include "platform/FileManager.h"

#include <mutex>

#include <sqlite3.h>

using C = Fiskal::Command;
using Mis = FakeFiscalService::Misbehaviour;

namespace {

std::string receipt(const std::string& cdok) {
    return "{&quot;document&quot; : {&quot;externalId&quot; : &quot;" + cdok +
           "&quot;,&quot;items&quot; : [{&quot;name&quot; : &quot;Syr, údený&quot;,&quot;price&quot; : 1.20},"
           "{&quot;name&quot; : &quot;Mlieko&quot;,&quot;price&quot; : 0.89},]}}";
}

class EkasaRun : public posting_test::PostingFixture {
protected:
    void SetUp() override {
        PostingFixture::SetUp();
        load(typ("predaj", "hotovosť"));
        choose("T001", "2027-05-31", 2);
        cdok = cdokOf(post());
        id = t->printingId;
        ASSERT_FALSE(cdok.empty());
    }

    // Runs one job on a fresh driver; answers the result text.
    std::string print(C command, const std::string& txt, std::map<std::string, std::string> parameters = {},
                      const std::string& host = "127.0.0.1") {
        client = std::make_shared<RecordingClient>();
        auto driver =
            std::make_shared<Ekasa>(client, host, static_cast<std::uint16_t>(port ? port : service.port()), "");
        driver->requestTimeout = timeout;
        driver->uncertainBound = bound;
        driver->deadlineMargin = margin;
        const auto start = std::chrono::steady_clock::now();
        driver->request(command, txt, parameters);
        // The caller's thread never waits for the service.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
        EXPECT_TRUE(platform::MainRunLoop::runUntil([this] { return client->finished > 0; },
                                                    std::chrono::seconds(10)));
        platform::MainRunLoop::runFor(std::chrono::milliseconds(50));
        EXPECT_EQ(client->finished, 1);
        return client->result.value_or("<none>");
    }

    // Leaves the document uncertain (the service keeps silent about its
    // store), then starts the program again with the service answering.
    void leaveUncertainAndRestart() {
        timeout = 1.0;
        service.misbehave("/api/document/store", Mis::silence);
        EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()).rfind(Ekasa::uncertainMessage(bound), 0), 0u);
        env_->restart();
        t = &env_->trekora();
        service.misbehave("/api/document/store", Mis::none);
    }

    std::string column(const std::string& name) { return value("select coalesce(" + name + ", '<null>') from vety where id = " + id); }
    // The parameters of the document as the preview hands them over.
    std::map<std::string, std::string> shown() const { return {{"CDOK", cdok}, {"ID", id}}; }

    FakeFiscalService service;
    // Where the driver reaches the service; its own port unless set.
    int port = 0;
    double timeout = 2.0;
    double bound = 300.0;
    double margin = 0.5;
    std::shared_ptr<RecordingClient> client;
    std::string cdok, id;
};

}  // namespace

TEST_F(EkasaRun, CashSaleIsRegisteredOnceAndWrittenBack) {
    service.setNextSequenceId(42);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    auto requests = service.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].path, "/api/print");
    EXPECT_EQ(requests[0].body, EkasaJson::printData("", Ekasa::defaultPrinterAddress));
    EXPECT_EQ(requests[1].path, "/api/document/get");
    EXPECT_EQ(requests[1].body, "{}");
    EXPECT_EQ(requests[2].path, "/api/document/store");
    EXPECT_EQ(requests[2].headers["Content-Type"], "application/json");
    EXPECT_EQ(requests[2].headers["Accept-Charset"], "utf-8");
    EXPECT_EQ(requests[2].headers["Content-Length"], std::to_string(requests[2].body.size()));
    // The item's own comma stays; only the trailing one went.
    auto body = nlohmann::json::parse(requests[2].body);
    EXPECT_EQ(body["document"]["items"][0]["name"], "Syr, údený");
    EXPECT_GT(client->dataSize, 0u);

    EXPECT_EQ(column("uid"), "O-1042-UID");
    EXPECT_EQ(column("okp"), "OKP-42-ABCD");
    EXPECT_EQ(column("pardok"), "20260300042");
    EXPECT_EQ(column("datum_vytvor"), "2026-03-15 10:20:30");
    EXPECT_EQ(column("datum_evid"), "2026-03-15 10:20:30");
    EXPECT_EQ(t->printingDoklad["PARDOK"], "20260300042");

    // The same receipt again: refused, nothing registered twice.
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 42");
    EXPECT_EQ(service.registered(), 1u);
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
}

TEST_F(EkasaRun, CashDocumentsCopiesAndSettings) {
    // Deposit, withdrawal and invoice payment are registered and written back by id.
    struct Case { C command; const char* path; const char* posted; } cases[] = {
        {C::tlacVklad, "/api/cash", "vklad"},
        {C::tlacVyber, "/api/cash", "vyber"},
        {C::tlacUhraduFaktury, "/api/document/store", "uhrada"},
    };
    std::int64_t sequence = 7;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.posted);
        std::string result = std::string(c.posted) == "vyber" ? t->zapisVyber("20.00", "") : t->zapisVklad("50.00", "");
        std::string number = cdokOf(result);
        id = value("select id from vety where cdok = ?", {number});
        service.setNextSequenceId(sequence);
        // The cash texts are whole JSON already: only their quotes are restored, no comma is touched.
        std::string txt = "{&quot;cash&quot; : {&quot;externalId&quot; : &quot;" + number +
                          "&quot;, &quot;amount&quot; : 50.00}}";
        EXPECT_EQ(print(c.command, txt, {{"CDOK", number}, {"ID", id}}), "OK");
        EXPECT_EQ(column("pardok"), "2026030000" + std::to_string(sequence));
        EXPECT_EQ(service.requests(c.path).back().body,
                  "{\"cash\" : {\"externalId\" : \"" + number + "\", \"amount\" : 50.00}}");
        ++sequence;
    }

    // Copy of the last receipt: the service's last document carries the
    // number of the sale, written but never sent from here (another
    // registrant took the number). The copy prints, writes nothing onto the
    // sale and says so; the sale is still registered once the service moves on.
    service.setLastDocument({{"externalId", cdok}, {"uuid", "U-LAST"}, {"okp", "K-LAST"}, {"sequenceId", 123456},
                             {"createDate", "01.02.2026 08:00:00"}});
    id = value("select id from vety where cdok = ?", {cdok});
    EXPECT_EQ(print(C::tlacKopiuPoslednehoDokladu, ""), "OK");
    EXPECT_EQ(column("pardok"), "<null>");
    EXPECT_NE(client->info.find("nič sa doň nezapísalo"), std::string::npos) << client->info;
    EXPECT_EQ(service.requests("/api/document/get").back().body,
              EkasaJson::lastDocument(Ekasa::defaultPrinterAddress));
    service.setLastDocument({{"externalId", "K-1"}, {"uuid", "U-K1"}, {"sequenceId", 123457},
                             {"createDate", "01.02.2026 08:05:00"}});
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    EXPECT_EQ(column("uid"), "O-1010-UID");

    // Copy of a chosen receipt: a six-digit sequence number still names it.
    EXPECT_EQ(print(C::tlacKopiuDokladu, "", {{"PARDOK", "202602123456"}}), "OK");
    auto asked = nlohmann::json::parse(service.requests("/api/document/get").back().body);
    EXPECT_EQ(asked["documentBySequenceId"]["sequenceId"], "123456");
    EXPECT_EQ(asked["documentBySequenceId"]["month"], "02");
    // A reference too short is refused without traffic.
    auto before = service.requests().size();
    EXPECT_NE(print(C::tlacKopiuDokladu, "", {{"PARDOK", "2026020012"}}).find("PARDOK"), std::string::npos);
    EXPECT_EQ(print(C::getStatus, ""), "nepodporovaná funkcia!");
    EXPECT_EQ(service.requests().size(), before);

    // Merchant, location, repair and plain print: texts escaped where they are texts.
    const std::string merchant = R"({"merchant" : {"name" : "Ján Novák"}})";
    EXPECT_EQ(print(C::nastavPredajcu, merchant), "OK");
    EXPECT_EQ(service.requests("/api/merchant/store").back().body, merchant);
    EXPECT_EQ(print(C::aktualizujPolohu, "ZA-482KM \"Žilina\""), "OK");
    EXPECT_EQ(nlohmann::json::parse(service.requests("/api/location/update").back().body)["otherLocation"],
              "ZA-482KM \"Žilina\"");
    EXPECT_EQ(print(C::fixDoklad, "ignored"), "OK");
    EXPECT_EQ(service.requests("/api/document/update").back().body, EkasaJson::fixDocument());
    EXPECT_EQ(print(C::tlacNefiskalnyDoklad, "Riadok 1\n\"citát\"\n"), "OK");
    EXPECT_EQ(nlohmann::json::parse(service.requests("/api/print").back().body)["printData"],
              "Riadok 1\n\"citát\"\n");
}

TEST_F(EkasaRun, EveryMisbehaviourEndsOnceWithTheDocumentUnchanged) {
    // An answer that does not settle the registration (a 5xx, another 2xx,
    // a 200 without this document's record) leaves it uncertain, with the
    // reason; the service's own refusal and the checks' failures settle it.
    struct Case { const char* path; Mis how; std::string result; bool uncertain = false; } cases[] = {
        {"/api/print", Mis::status500, "ekasa zapisZnak ERROR2(HTTPRESPONSE): internal server error"},
        {"/api/print", Mis::silence, "ekasa zapisZnak ERROR1(SESSION): "},
        {"/api/print", Mis::errorReply, "ekasa zapisznak ERROR3(JSON): tlaciaren nie je pripojena"},
        {"/api/document/get", Mis::notJson, "ekasa overDoklad neplatna odpoved z fiskalu!"},
        {"/api/document/get", Mis::status201, "ekasa overDoklad ERROR2(HTTPRESPONSE): created"},
        {"/api/document/store", Mis::status500, "500 internal server error", true},
        {"/api/document/store", Mis::notJson, "neplatna odpoved z fiskalu!", true},
        {"/api/document/store", Mis::errorReply, "tlaciaren nie je pripojena"},
        {"/api/document/store", Mis::noDocument, "fiskal nevratil udaje zaevidovaneho dokladu!", true},
        {"/api/document/store", Mis::status201, "201 created", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(static_cast<int>(c.how)));
        FakeFiscalService::Misbehaviour none = Mis::none;
        for (const char* p : {"/api/print", "/api/document/get", "/api/document/store"}) service.misbehave(p, none);
        service.misbehave(c.path, c.how);
        std::string result = print(C::tlacDoklad, receipt(cdok), shown());
        if (c.uncertain) {
            EXPECT_EQ(result, Ekasa::uncertainMessage(bound) + " (" + c.result + ")");
            EXPECT_EQ(EkasaNeiste::zoznam().size(), 1u);
            platform::FileManager::removeItem(EkasaNeiste::path());
        } else if (c.result.empty() || c.result.back() == ' ') {
            EXPECT_EQ(result.rfind(c.result, 0), 0u) << result;
            EXPECT_NE(result, c.result);
        } else {
            EXPECT_EQ(result, c.result);
        }
        EXPECT_TRUE(EkasaNeiste::zoznam().empty());
        EXPECT_EQ(column("uid"), "<null>");
        EXPECT_EQ(column("pardok"), "<null>");
    }
    // A service address that cannot be formed ends the run as well.
    EXPECT_NE(print(C::tlacDoklad, receipt(cdok), shown(), "bad host").find("neplatna adresa"),
              std::string::npos);
    // A registration without answer says that the receipt may be registered.
    service.misbehave("/api/document/store", Mis::silence);
    EXPECT_EQ(print(C::tlacDoklad, receipt("777"), {{"CDOK", "777"}, {"ID", id}}).rfind(Ekasa::uncertainMessage(bound) + " (", 0),
              0u);
}

TEST_F(EkasaRun, FailedWriteBackIsReported) {
    t->postingBusyTimeout = 0.1;
    sqlite3* lock = nullptr;
    ASSERT_EQ(sqlite3_open(t->dbURL.c_str(), &lock), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(lock, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
    std::string result = print(C::tlacDoklad, receipt(cdok), shown());
    sqlite3_exec(lock, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(lock);
    EXPECT_EQ(result.rfind("zapis fiskalnych udajov do dokladu zlyhal: ", 0), 0u) << result;
    EXPECT_EQ(column("uid"), "<null>");

    // A registration whose document is not there to take its identifiers
    // (a stale or empty id) is no success either.
    t->printingId = "999999";
    result = print(C::tlacDoklad, receipt("777"), {{"CDOK", "777"}, {"ID", "999999"}});
    EXPECT_EQ(result.rfind("zapis fiskalnych udajov do dokladu zlyhal: ", 0), 0u) << result;
    EXPECT_EQ(service.registered(), 2u);
}

TEST_F(EkasaRun, ARegistrationLeftWithoutAnswerIsNeverSentAgain) {
    // The service registers the receipt only after the driver has given up.
    timeout = 1.0;
    service.setDelay(std::chrono::milliseconds(2500));
    service.misbehave("/api/document/store", Mis::late);
    const std::string pending = print(C::tlacDoklad, receipt(cdok), shown());
    EXPECT_EQ(pending.rfind(Ekasa::uncertainMessage(bound), 0), 0u) << pending;
    // Printed again at once, while the service is still at work: not sent.
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), Ekasa::uncertainMessage(bound));
    // Nor is another receipt, which would hide this one from the check.
    EXPECT_EQ(print(C::tlacDoklad, receipt("777"), {{"CDOK", "777"}, {"ID", "999999"}}).rfind("predchádzajúci doklad", 0), 0u);
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    ASSERT_TRUE(platform::MainRunLoop::runUntil([this] { return service.registered() == 1; }, std::chrono::seconds(5)));
    // Once the service shows it, the document takes its identifiers and is refused.
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 1");
    EXPECT_EQ(column("pardok"), "20260300001");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    EXPECT_EQ(service.registered(), 1u);
}

TEST_F(EkasaRun, AnUncertainRegistrationOutlivesARestartUntilItsBound) {
    platform::Clock::Fixed clock(platform::Date(1773570000));
    bound = 120;
    leaveUncertainAndRestart();
    platform::Clock::advance(100);
    // The salesman is told how long the rest of the window lasts.
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()),
              "doklad už môže byť zaevidovaný vo fiškálnej službe: skúste ho vytlačiť znova o 1 min.");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    // Well past the bound the service still shows nothing new: it never got
    // the receipt, which now goes out once.
    platform::Clock::advance(60);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    EXPECT_EQ(service.requests("/api/document/store").size(), 2u);
    EXPECT_EQ(service.registered(), 1u);
    EXPECT_EQ(column("pardok"), "20260300001");
}

TEST_F(EkasaRun, ATrickledAnswerEndsByTheOverallDeadline) {
    // A byte now and then keeps the connection busy, never idle.
    timeout = 1.0;
    service.misbehave("/api/document/store", Mis::trickle);
    const auto start = std::chrono::steady_clock::now();
    const std::string result = print(C::tlacDoklad, receipt(cdok), shown());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(result.rfind(Ekasa::uncertainMessage(bound), 0), 0u) << result;
    // Like any time-out: the sale is uncertain and not sent again.
    service.misbehave("/api/document/store", Mis::none);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), Ekasa::uncertainMessage(bound));
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
}

TEST_F(EkasaRun, ARegistrationIsMarkedOnTheDiskBeforeItLeaves) {
    // The service stores the receipt seconds after it came in, and the
    // program is killed meanwhile: the disk holds what it held when the
    // service got the receipt.
    std::mutex lock;
    std::optional<std::string> onDisk;
    service.whenReceived("/api/document/store", [&] {
        std::lock_guard guard(lock);
        onDisk = platform::FileManager::contents(EkasaNeiste::path());
    });
    timeout = 1.0;
    service.setDelay(std::chrono::milliseconds(2500));
    service.misbehave("/api/document/store", Mis::late);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()).rfind(Ekasa::uncertainMessage(bound), 0), 0u);
    std::string left;
    {
        std::lock_guard guard(lock);
        left = onDisk.value_or("");
    }
    EXPECT_NE(left.find("\"" + cdok + "\""), std::string::npos) << left;
    if (left.empty()) platform::FileManager::removeItem(EkasaNeiste::path());
    else ASSERT_TRUE(platform::FileManager::writeFile(EkasaNeiste::path(), left));
    env_->restart();
    t = &env_->trekora();
    // Printed again at once after the start: the service is still at work.
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), Ekasa::uncertainMessage(bound));
    ASSERT_TRUE(platform::MainRunLoop::runUntil([this] { return service.registered() >= 1; }, std::chrono::seconds(5)));
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 1");
    EXPECT_EQ(column("pardok"), "20260300001");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
}

TEST_F(EkasaRun, AnAnswerAboutAnotherDocumentIsWrittenNowhere) {
    // The service registers the sale but answers with its previous record.
    service.setLastDocument({{"externalId", "999"}, {"uuid", "U-999"}, {"okp", "K-999"}, {"sequenceId", 5},
                             {"createDate", "01.03.2026 09:00:00"}});
    service.setNextSequenceId(6);
    service.misbehave("/api/document/store", Mis::foreignRecord);
    const std::string result = print(C::tlacDoklad, receipt(cdok), shown());
    EXPECT_NE(result, "OK");
    EXPECT_NE(result.find("999"), std::string::npos) << result;
    EXPECT_EQ(column("uid"), "<null>");
    EXPECT_EQ(value("select count(*) from vety where uid = 'U-999' or pardok = '20260300005'"), "0");
    // The service may hold the sale: it is not sent again, and it takes its
    // own identifiers once the service shows them.
    service.misbehave("/api/document/store", Mis::none);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 6");
    EXPECT_EQ(column("uid || ' ' || pardok"), "O-1006-UID 20260300006");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    // Without its number no answer could be told apart: nothing is sent.
    const auto before = service.requests().size();
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), {{"ID", id}}).rfind("chýba číslo dokladu", 0), 0u);
    EXPECT_EQ(service.requests().size(), before);
}

TEST_F(EkasaRun, TheServicesLastDocumentNeverOverwritesAnotherRegistration) {
    ASSERT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    const std::string own = column("uid || ' ' || pardok");
    // The service's history names the sale's number for another registration
    // (after a restore or a reinstall): the sale keeps its identifiers, and
    // the print of the next document says so.
    const nlohmann::json other = {{"externalId", cdok}, {"uuid", "U-OTHER"}, {"okp", "K-OTHER"},
                                  {"sequenceId", 77}, {"createDate", "01.02.2026 08:00:00"}};
    service.setLastDocument(other);
    const std::string deposit = cdokOf(t->zapisVklad("50.00", ""));
    const std::string depositId = value("select id from vety where cdok = ?", {deposit});
    const std::string txt = "{&quot;externalId&quot; : &quot;" + deposit + "&quot;, &quot;amount&quot; : 50.00}";
    EXPECT_EQ(print(C::tlacVklad, txt, {{"CDOK", deposit}, {"ID", depositId}}), "OK");
    EXPECT_NE(client->info.find("inej registrácie"), std::string::npos) << client->info;
    EXPECT_EQ(column("uid || ' ' || pardok"), own);
    EXPECT_EQ(value("select pardok from vety where id = ?", {depositId}), "20260300002");
    // Nor does the copy of the last receipt write over them: it prints and says so.
    service.setLastDocument(other);
    EXPECT_EQ(print(C::tlacKopiuPoslednehoDokladu, ""), "OK");
    EXPECT_NE(client->info.find("inej registrácie"), std::string::npos) << client->info;
    EXPECT_EQ(column("uid || ' ' || pardok"), own);
}

// The service keeps its connections alive and dies after it has registered
// a receipt, before it answers.
TEST_F(EkasaRun, AStoreWhoseConnectionDiesAfterItsRegistrationIsSentOnce) {
    KeepAliveFront front{service.port()};
    ASSERT_TRUE(front.ok());
    port = front.port();
    front.resetOnce([](const KeepAliveFront::Request& r) { return r.path == "/api/document/store"; });
    EXPECT_NE(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    EXPECT_EQ(service.registered(), 1u);
    // Printed again, the receipt is not registered a second time.
    print(C::tlacDoklad, receipt(cdok), shown());
    EXPECT_EQ(service.registered(), 1u);
}

// The service's bad days: a gateway in front of it, a redirect, a clock set
// back, a damaged list of uncertain registrations, an answer carrying
// another registration's identifiers. Each registration still reaches the
// service once.
class EkasaBadDays : public EkasaRun {
protected:
    // A cash deposit written for `amount`, with what its print takes.
    struct Vklad {
        std::string cdok;
        std::map<std::string, std::string> parameters;
        std::string txt;
    };
    Vklad vklad(const std::string& amount) {
        Vklad v;
        v.cdok = cdokOf(t->zapisVklad(amount, ""));
        v.parameters = {{"CDOK", v.cdok}, {"ID", value("select id from vety where cdok = ?", {v.cdok})}};
        v.txt = "{&quot;cash&quot; : {&quot;externalId&quot; : &quot;" + v.cdok + "&quot;}}";
        return v;
    }
    // What `send` prints goes to `path` behind a gateway that gives up (504),
    // while the service stores it a moment later as its `registered`th
    // document; the gateway then passes requests again.
    template <typename Send>
    void storedLate(const std::string& path, std::size_t registered, Send send) {
        service.setDelay(std::chrono::milliseconds(300));
        service.misbehave(path, Mis::gatewayLate);
        const std::string result = send();
        EXPECT_NE(result.find("(504 gateway timed out)"), std::string::npos) << result;
        EXPECT_TRUE(platform::MainRunLoop::runUntil([&] { return service.registered() == registered; },
                                                    std::chrono::seconds(5)));
        service.misbehave(path, Mis::none);
    }
    void saleStoredLate(std::size_t registered) {
        storedLate("/api/document/store", registered, [this] { return print(C::tlacDoklad, receipt(cdok), shown()); });
    }
    void depositStoredLate(const Vklad& v, std::size_t registered) {
        storedLate("/api/cash", registered, [&] { return print(C::tlacVklad, v.txt, v.parameters); });
    }
};

TEST_F(EkasaBadDays, ARedirectedStoreIsNotFollowedAndStaysUncertain) {
    service.misbehave("/api/document/store", Mis::redirect);
    const std::string result = print(C::tlacDoklad, receipt(cdok), shown());
    EXPECT_EQ(result, Ekasa::uncertainMessage(bound) + " (307 temporarily redirected)");
    EXPECT_EQ(service.registered(), 1u);
    EXPECT_EQ(column("uid"), "<null>");
    // Printed again, the service shows it: it takes its identifiers and is refused.
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 1");
    EXPECT_EQ(column("pardok"), "20260300001");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
}

TEST_F(EkasaBadDays, AGatewayErrorKeepsTheMarkUntilTheServiceShowsTheDocument) {
    // The gateway gives up at once; the service stores the receipt later.
    service.setDelay(std::chrono::milliseconds(1500));
    service.misbehave("/api/document/store", Mis::gatewayLate);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), Ekasa::uncertainMessage(bound) + " (504 gateway timed out)");
    service.misbehave("/api/document/store", Mis::none);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), Ekasa::uncertainMessage(bound));
    ASSERT_TRUE(platform::MainRunLoop::runUntil([this] { return service.registered() == 1; }, std::chrono::seconds(5)));
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 1");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    EXPECT_EQ(service.registered(), 1u);
}

TEST_F(EkasaBadDays, AMarkAheadOfTheClockIsFreshNotExpired) {
    platform::Clock::Fixed clock(platform::Date(1773570000));
    leaveUncertainAndRestart();
    // Started again with the clock an hour behind the mark.
    platform::Clock::advance(-3600);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), Ekasa::uncertainMessage(bound));
    // Its window began when it was first seen so.
    platform::Clock::advance(200);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), Ekasa::uncertainMessage(bound - 200));
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    platform::Clock::advance(200);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    EXPECT_EQ(service.registered(), 1u);
}

TEST_F(EkasaBadDays, ADamagedMarkFileIsSetAsideAndHoldsEveryRegistrationForItsWindow) {
    platform::Clock::Fixed clock(platform::Date(1773570000));
    const std::string now = "1773570000";
    const std::string whole =
        "[{\"cdok\": \"" + cdok + "\", \"id\": \"" + id + "\", \"od\": " + now + ", \"predtym\": \"\"}]";
    const std::string documents = platform::FileManager::deletingLastPathComponent(EkasaNeiste::path());
    const std::string damaged[] = {
        whole.substr(0, whole.size() - 2),
        "{\"cdok\": \"" + cdok + "\"}",
        "[[\"" + cdok + "\"]]",
        "[{\"cdok\": \"\xff\xfe\", \"od\": " + now + "}]",
        "[{\"cdok\": \"" + cdok + "\", \"od\": \"yesterday\"}]",
        "[{\"cdok\": null, \"id\": null, \"od\": null}]",
    };
    int set = 0;
    for (const auto& bytes : damaged) {
        SCOPED_TRACE(bytes);
        ASSERT_TRUE(platform::FileManager::writeFile(EkasaNeiste::path(), bytes));
        const std::string result = print(C::tlacDoklad, receipt(cdok), shown());
        EXPECT_NE(result.find("ekasa_neiste.json"), std::string::npos) << result;
        EXPECT_EQ(service.requests("/api/document/store").size(), 0u);
        // The damaged bytes are kept aside, and the list holds them back.
        const std::string aside = documents + "/ekasa_neiste.poskodeny-" + std::to_string(++set) + ".json";
        EXPECT_EQ(platform::FileManager::contents(aside).value_or("<none>"), bytes);
        EXPECT_NE(result.find(platform::FileManager::lastPathComponent(aside)), std::string::npos) << result;
        platform::FileManager::removeItem(EkasaNeiste::path());
    }
    // A number where a text belongs is read as that text: the document is the uncertain one.
    ASSERT_TRUE(platform::FileManager::writeFile(
        EkasaNeiste::path(), "[{\"cdok\": " + cdok + ", \"id\": " + id + ", \"od\": " + now + "}]"));
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), Ekasa::uncertainMessage(bound));
    EXPECT_FALSE(platform::FileManager::fileExists(documents + "/ekasa_neiste.poskodeny-" + std::to_string(set + 1) + ".json"));
    // A damaged list holds every registration back until its window has passed.
    ASSERT_TRUE(platform::FileManager::writeFile(EkasaNeiste::path(), damaged[0]));
    EXPECT_NE(print(C::tlacDoklad, receipt(cdok), shown()).find("ekasa_neiste.json"), std::string::npos);
    platform::Clock::advance(200);
    EXPECT_NE(print(C::tlacDoklad, receipt(cdok), shown()).find("ekasa_neiste.json"), std::string::npos);
    platform::Clock::advance(200);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    EXPECT_EQ(service.registered(), 1u);
}

TEST_F(EkasaBadDays, IdentifiersAnotherDocumentHoldsAreWrittenNowhere) {
    ASSERT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    const std::string own = column("uid || ' ' || okp");
    // The deposit's answer names the deposit but carries the sale's identifiers.
    const std::string deposit = cdokOf(t->zapisVklad("50.00", ""));
    const std::string depositId = value("select id from vety where cdok = ?", {deposit});
    const std::string txt = "{&quot;externalId&quot; : &quot;" + deposit + "&quot;, &quot;amount&quot; : 50.00}";
    const std::map<std::string, std::string> parameters = {{"CDOK", deposit}, {"ID", depositId}};
    service.misbehave("/api/cash", Mis::foreignIdentifiers);
    const std::string result = print(C::tlacVklad, txt, parameters);
    EXPECT_NE(result.find(Trekora::udajePatriaInemuDokladu), std::string::npos) << result;
    EXPECT_EQ(value("select coalesce(uid, '<null>') from vety where id = ?", {depositId}), "<null>");
    EXPECT_EQ(value("select count(*) from vety where uid || ' ' || okp = ?", {own}), "1");
    // The service holds it: printed again it is not sent, and takes its own identifiers.
    service.misbehave("/api/cash", Mis::none);
    EXPECT_EQ(print(C::tlacVklad, txt, parameters), "doklad uz bol vytlaceny pod poradovym cislom 2");
    EXPECT_EQ(value("select uid from vety where id = ?", {depositId}), "O-1002-UID");
    EXPECT_EQ(service.registered(), 2u);
    // Nor does the write-back by number give a document another's
    // identifiers (here one sent without answer, which the copy of the last
    // receipt writes back): the copy says so.
    const std::string other = cdokOf(t->zapisVklad("10.00", ""));
    EkasaNeiste::Zaznam sent;
    sent.cdok = other;
    ASSERT_TRUE(EkasaNeiste::pridaj(sent));
    service.setLastDocument({{"externalId", other}, {"uuid", "O-1001-UID"}, {"okp", "K-9"}, {"sequenceId", 1},
                             {"createDate", "01.02.2026 08:00:00"}});
    EXPECT_EQ(print(C::tlacKopiuPoslednehoDokladu, ""), "OK");
    EXPECT_NE(client->info.find(Trekora::udajePatriaInemuDokladu), std::string::npos) << client->info;
    EXPECT_EQ(value("select coalesce(uid, '<null>') from vety where cdok = ?", {other}), "<null>");
}

TEST_F(EkasaBadDays, ANumberTheServiceHoldsIsNeitherGivenAgainNorTakenForAnotherSale) {
    ASSERT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    // The sale loses its identifiers with the record of registrations: its
    // number left, and the refusal does not say it did not.
    platform::FileManager::removeItem(dir_ + "/zaevidovane_doklady.json");
    exec("update vety set uid = null, okp = null, pardok = null where id = " + id);
    const std::string unknown = print(C::tlacDoklad, receipt(cdok), shown());
    EXPECT_NE(unknown.find("o ktorej toto zariadenie nemá záznam"), std::string::npos) << unknown;
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    // The database loses its documents (a morning copy restored, or the
    // shipped database after the working one was lost) and a sale is written.
    const auto loseAndSell = [this] {
        exec("delete from polo; delete from vety; update sqlite_sequence set seq = 1000 where name = 'vety'");
        env_->restart();
        t = &env_->trekora();
        t->idu = "1";
        t->str = "12";
        t->readNastaveniaItem();
        t->km = "184310";
        customer("10102-01");
        load(typ("predaj", "hotovosť"));
        choose("T001", "2027-05-31", 2);
        return cdokOf(post());
    };
    // The registered number is not given again.
    EXPECT_GT(std::stoll(loseAndSell()), std::stoll(cdok));
    // With the records of sent numbers and of registrations lost too, the
    // number comes again: the service's registration of it is not this
    // sale's, and nothing is written onto the sale nor sent.
    const std::string record = dir_ + "/posledna_uzavierka.txt";
    platform::FileManager::removeItem(record);
    platform::FileManager::removeItem(dir_ + "/zaevidovane_doklady.json");
    ASSERT_EQ(loseAndSell(), cdok);
    id = t->printingId;
    const std::string refused = print(C::tlacDoklad, receipt(cdok), shown());
    EXPECT_EQ(refused.rfind("číslo dokladu " + cdok + " už vo fiškálnej službe patrí inému dokladu", 0), 0u) << refused;
    EXPECT_EQ(column("uid || pardok"), "<null>");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    // A number that cannot be recorded does not leave, and leaves no mark.
    ASSERT_TRUE(std::filesystem::create_directory(record));
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 1);
    const std::string other = cdokOf(post());
    const std::string failed = print(C::tlacDoklad, receipt(other), {{"CDOK", other}, {"ID", t->printingId}});
    EXPECT_NE(failed.find("doklad sa neodoslal"), std::string::npos) << failed;
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    EXPECT_TRUE(EkasaNeiste::zoznam().empty());
}

TEST_F(EkasaBadDays, AnotherRegistrationDuringTheWindowIsLookedUpBySequenceNumber) {
    platform::Clock::Fixed clock(platform::Date(1773570000));
    timeout = 1.0;
    bound = 120;
    // The gateway gives up on the sale, which the service registers a moment
    // later; then a receipt is keyed on the printer itself.
    saleStoredLate(1);
    service.keyIn("K-1");
    platform::Clock::advance(130);
    // Found among the documents after the one the service showed before: registered.
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 1");
    EXPECT_EQ(column("uid || ' ' || pardok"), "O-1001-UID 20260300001");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);

    // A deposit whose registration never reached the service, and two keyed
    // receipts after it: not found there, it goes out once.
    const Vklad deposit = vklad("50.00");
    service.misbehave("/api/cash", Mis::silence);
    EXPECT_NE(print(C::tlacVklad, deposit.txt, deposit.parameters), "OK");
    service.keyIn("K-2");
    service.keyIn("K-3");
    service.misbehave("/api/cash", Mis::none);
    platform::Clock::advance(130);
    EXPECT_EQ(print(C::tlacVklad, deposit.txt, deposit.parameters), "OK");
    const auto asked = service.requests("/api/document/get");
    EXPECT_TRUE(std::any_of(asked.begin(), asked.end(), [](const auto& r) {
        return r.body.find("\"sequenceId\" : \"00003\"") != std::string::npos;
    }));
    EXPECT_EQ(value("select pardok from vety where cdok = ?", {deposit.cdok}), "20260300005");
    EXPECT_EQ(service.requests("/api/cash").size(), 2u);
    EXPECT_EQ(service.registered(), 5u);
}

TEST_F(EkasaBadDays, TheLookUpWalksTheMonthsTheServiceNumbersEachFromOne) {
    platform::Clock::Fixed clock(platform::Date(1773570000));
    timeout = 1.0;
    bound = 120;
    // December's 4th is the service's last document when the sale goes out
    // on the 1st of January; the service stores it as January's 1st behind
    // a gateway that gives up, and five receipts follow.
    service.setDate("31.12.2026 22:00:00");
    service.setNextSequenceId(4);
    service.keyIn("K-1");
    service.setDate("01.01.2027 08:00:00");
    saleStoredLate(2);
    for (const char* keyed : {"K-2", "K-3", "K-4", "K-5", "K-6"}) service.keyIn(keyed);
    platform::Clock::advance(130);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 1");
    EXPECT_EQ(column("pardok"), "20270100001");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);

    // A deposit that never reached the service on January's 6th, and a
    // receipt as February's 1st: the new month's low number holds nothing up.
    const Vklad deposit = vklad("50.00");
    service.misbehave("/api/cash", Mis::silence);
    EXPECT_NE(print(C::tlacVklad, deposit.txt, deposit.parameters), "OK");
    service.misbehave("/api/cash", Mis::none);
    service.setDate("01.02.2027 07:00:00");
    service.keyIn("K-7");
    platform::Clock::advance(130);
    EXPECT_EQ(print(C::tlacVklad, deposit.txt, deposit.parameters), "OK");
    EXPECT_EQ(value("select pardok from vety where cdok = ?", {deposit.cdok}), "20270200002");
    EXPECT_EQ(service.requests("/api/cash").size(), 2u);

    // The first of the next month shows the number and sequence number of the
    // document before the mark again: it is not that one.
    service.setDate("01.03.2027 07:00:00");
    service.keyIn("K-8");
    const Vklad second = vklad("20.00");
    depositStoredLate(second, 11);
    service.setDate("01.04.2027 07:00:00");
    service.keyIn("K-8");
    platform::Clock::advance(130);
    EXPECT_EQ(print(C::tlacVklad, second.txt, second.parameters), "doklad uz bol vytlaceny pod poradovym cislom 2");
    EXPECT_EQ(value("select pardok from vety where cdok = ?", {second.cdok}), "20270300002");
    EXPECT_EQ(service.requests("/api/cash").size(), 3u);
}

TEST_F(EkasaBadDays, ALookUpSettlesNothingOnAnAnswerNotAskedForOrTwoDocumentsOfTheNumber) {
    platform::Clock::Fixed clock(platform::Date(1773570000));
    timeout = 1.0;
    bound = 120;
    // The sale is stored behind a gateway that gives up, a receipt is keyed
    // after it, and the service answers every look-up with its last document.
    saleStoredLate(1);
    service.keyIn("K-1");
    service.misbehave("/api/document/get", Mis::lastForAny);
    platform::Clock::advance(130);
    const std::string wrong = print(C::tlacDoklad, receipt(cdok), shown());
    EXPECT_NE(wrong.find("odpovedala dokladom s poradovým číslom 2 z 03/2026"), std::string::npos) << wrong;
    EXPECT_EQ(service.registered(), 2u);
    // Answered as asked, the sale is found: its mark was kept.
    service.misbehave("/api/document/get", Mis::none);
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 1");

    // Another registrant takes the deposit's number between the gateway's
    // 504 and the late store of the deposit itself.
    const Vklad deposit = vklad("50.00");
    service.whenReceived("/api/cash", [this, number = deposit.cdok] { service.keyIn(number); });
    depositStoredLate(deposit, 4);
    service.whenReceived("/api/cash", {});
    // The deposit's own store is the service's last document: neither the
    // copy of the last receipt nor the print takes it for the deposit's.
    const auto unsettled = [this](const Vklad& v) {
        platform::Clock::advance(130);
        const std::string result = print(C::tlacVklad, v.txt, v.parameters);
        EXPECT_NE(result.find("nesú viaceré doklady"), std::string::npos) << result;
        EXPECT_EQ(value("select coalesce(uid, '<null>') from vety where cdok = ?", {v.cdok}), "<null>");
    };
    EXPECT_EQ(print(C::tlacKopiuPoslednehoDokladu, ""), "OK");
    unsettled(deposit);
    service.keyIn("K-2");
    unsettled(deposit);
    EXPECT_EQ(service.requests("/api/cash").size(), 1u);
    EXPECT_EQ(EkasaNeiste::zoznam().size(), 1u);
    // The other way round: the deposit's late store first, then another
    // registrant's receipt of its number as the last document.
    const Vklad later = vklad("30.00");
    depositStoredLate(later, 6);
    service.keyIn(later.cdok);
    unsettled(later);
    EXPECT_EQ(service.requests("/api/cash").size(), 2u);
}

// The office's copy was taken before the sale was printed. Restored over the
// database or in place of a lost one, or the
// identifiers dropped by a data update: the sale takes its identifiers back
// and is never sent again. A copy holding another registration for it is
// refused, naming it.
TEST_F(EkasaBadDays, ARegistrationOutlivesTheRestoreOfACopyTakenBeforeIt) {
    const std::string copy = dir_ + "/kopia.db3";
    ASSERT_TRUE(platform::FileManager::copyItem(t->dbURL, copy));
    ASSERT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "OK");
    const std::string own = column("uid || ' ' || pardok");
    const auto restore = [&](const std::string& sql = "") {
        const std::string download = dir_ + "/stiahnuta.db3";
        EXPECT_TRUE(platform::FileManager::copyItemReplacing(copy, download));
        sqlite3* db = nullptr;
        sqlite3_open(download.c_str(), &db);
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
        std::string hlasenie;
        return t->obnovDatabazu(download, &hlasenie);
    };
    ASSERT_EQ(restore(), "");
    EXPECT_EQ(column("uid || ' ' || pardok"), own);
    const auto before = service.requests().size();
    EXPECT_EQ(print(C::tlacDoklad, receipt(cdok), shown()), "doklad uz bol vytlaceny pod poradovym cislom 1");
    EXPECT_EQ(service.requests().size(), before);

    platform::FileManager::removeItem(t->dbURL);
    ASSERT_EQ(restore(), "");
    EXPECT_EQ(column("uid || ' ' || pardok"), own);

    exec("update vety set uid = null, okp = null, pardok = null");
    env_->restart();
    t = &env_->trekora();
    EXPECT_EQ(column("uid || ' ' || pardok"), own);

    EXPECT_NE(restore("update vety set uid = 'U-X', pardok = '20260300099' where cdok = " + cdok)
                  .find("kópia databázy má pri dokladoch " + cdok + " iné fiškálne údaje"),
              std::string::npos);
    EXPECT_EQ(column("uid || ' ' || pardok"), own);
    EXPECT_EQ(service.registered(), 1u);
}
