// The print adapter driver against the fake adapter on 127.0.0.1.

#include "fakes/FakePrintAdapter.h"
#include "fiscal/DriverFixture.h"
#include "fiscal/Esp.h"
#include "records/NastaveniaItem.h"
#include "support/TrekoraTestEnvironment.h"

#include "platform/TextEncoding.h"

using C = Fiskal::Command;

namespace {

class EspRun : public DriverTest {
protected:
    void SetUp() override {
        env = std::make_unique<TrekoraTestEnvironment>();
        env->trekora().nastaveniaItem = std::make_shared<NastaveniaItem>();
        env->trekora().nastaveniaItem->PAGEHEIGHT = "4";
    }
    void TearDown() override { env.reset(); }

    std::string print(C command, const std::string& txt, std::uint16_t port, const std::string& host = "127.0.0.1") {
        client = std::make_shared<RecordingClient>();
        auto driver = std::make_shared<Esp>(client, host, port, "");
        driver->requestTimeout = 2.0;
        driver->request(command, txt);
        EXPECT_TRUE(runToEnd());
        EXPECT_EQ(client->finished, 1);
        return client->result.value_or("<none>");
    }

    std::unique_ptr<TrekoraTestEnvironment> env;
    FakePrintAdapter adapter;
};

}  // namespace

TEST_F(EspRun, TwoPageDocumentInCodePage852) {
    const std::string txt = "Dodací list č. 1001\nŽilina, ZA-482KM\nRožok  2 ks\nMlieko 1 ks\nSpolu: 1,49 €\n";
    EXPECT_EQ(print(C::tlacNefiskalnyDoklad, txt, static_cast<std::uint16_t>(adapter.port())), "OK");
    auto jobs = adapter.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].body, expected("esp_two_pages.bin"));
    EXPECT_EQ(platform::TextEncoding::fromCp852(jobs[0].body.substr(15, 19)), "Dodací list č. 1001");
    EXPECT_EQ(jobs[0].headers.find("Content-Length")->second, std::to_string(jobs[0].body.size()));
    EXPECT_EQ(jobs[0].headers.find("Content-Type")->second, "application/json");
    EXPECT_EQ(jobs[0].headers.find("Accept-Charset")->second, "CP852");
    EXPECT_TRUE(client->progress.empty());
}

TEST_F(EspRun, FailuresEndOnceWithTheirText) {
    const auto port = static_cast<std::uint16_t>(adapter.port());
    EXPECT_EQ(print(C::tlacDoklad, "x", port), "nepodporovaná funkcia!");
    EXPECT_EQ(print(C::testWifi, "", port), "nepodporovaná funkcia!");
    EXPECT_TRUE(adapter.jobs().empty());
    adapter.setStatus(404);
    EXPECT_EQ(print(C::tlacNefiskalnyDoklad, "x", port), "not found");
    EXPECT_NE(print(C::tlacNefiskalnyDoklad, "x", port, "zlá adresa").find("neplatna adresa"), std::string::npos);
    int closedPort;
    {
        FakePrintAdapter gone;
        closedPort = gone.port();
    }
    std::string refused = print(C::tlacNefiskalnyDoklad, "x", static_cast<std::uint16_t>(closedPort));
    EXPECT_NE(refused, "OK");
    EXPECT_FALSE(refused.empty());
}
