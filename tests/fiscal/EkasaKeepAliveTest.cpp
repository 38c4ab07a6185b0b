// The fiscal service keeps its connections alive and dies after it has
// registered a receipt, before it answers.

#include "fakes/FakeFiscalService.h"
#include "fakes/KeepAliveFront.h"
#include "fiscal/DriverFixture.h"
#include "fiscal/Ekasa.h"
#include "posting/PostingFixture.h"

namespace {

class EkasaKeepAlive : public posting_test::PostingFixture {
protected:
    void SetUp() override {
        PostingFixture::SetUp();
        ASSERT_TRUE(front.ok());
        load(typ("predaj", "hotovosť"));
        choose("T001", "2027-05-31", 2);
        cdok = cdokOf(post());
        ASSERT_FALSE(cdok.empty());
    }

    std::string print() {
        client = std::make_shared<RecordingClient>();
        auto driver = std::make_shared<Ekasa>(client, "127.0.0.1", static_cast<std::uint16_t>(front.port()), "");
        driver->requestTimeout = 2.0;
        driver->request(Fiskal::Command::tlacDoklad,
                        "{&quot;document&quot; : {&quot;externalId&quot; : &quot;" + cdok +
                            "&quot;,&quot;items&quot; : [{&quot;name&quot; : &quot;Syr&quot;,&quot;price&quot; : 1.20},]}}",
                        {{"CDOK", cdok}, {"ID", t->printingId}});
        EXPECT_TRUE(platform::MainRunLoop::runUntil([this] { return client->finished > 0; }, std::chrono::seconds(10)));
        platform::MainRunLoop::runFor(std::chrono::milliseconds(50));
        EXPECT_EQ(client->finished, 1);
        return client->result.value_or("<none>");
    }

    FakeFiscalService service;
    KeepAliveFront front{service.port()};
    std::shared_ptr<RecordingClient> client;
    std::string cdok;
};

}  // namespace

TEST_F(EkasaKeepAlive, AStoreWhoseConnectionDiesAfterItsRegistrationIsSentOnce) {
    front.resetOnce([](const KeepAliveFront::Request& r) { return r.path == "/api/document/store"; });
    EXPECT_NE(print(), "OK");
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    EXPECT_EQ(service.registered(), 1u);
    // Printed again, the receipt is not registered a second time.
    print();
    EXPECT_EQ(service.registered(), 1u);
}
