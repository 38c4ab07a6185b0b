// The order export against an office that keeps its connections alive and
// dies after storing an order, before it answers.

#include "sync/OrdersFixture.h"

#include "fakes/KeepAliveFront.h"
#include "sync/ObjednavkyBeh.h"

namespace {

class ObjednavkyKeepAlive : public orders_test::OrdersFixture {
protected:
    void SetUp() override {
        OrdersFixture::SetUp();
        exec("insert into vety (id, cdok, datum, cas, str, idu, ido, idosc, pohyb, info, sumdokz) values "
             "(2001, 2001, '2026-12-06', '08:30:00', 12, 1, 10101, '10101-01', 40, 'ZAVOZ:', 12.5),"
             "(2002, 2002, '2026-12-06', '09:00:00', 12, 1, 10103, '10103-01', 40, 'ZAVOZ:', 20);");
        office->setLastCdok("12", 2000);
        const std::string address = office->exportUrl();
        const std::size_t port = address.find(':', address.find("//"));
        front = std::make_unique<KeepAliveFront>(std::atoi(address.c_str() + port + 1));
        ASSERT_TRUE(front->ok());
        t->nastaveniaItem->OBJ_PRE_EXPORT_DIR = front->url(FakeOrderOffice::exportPath);
    }
    void TearDown() override {
        front.reset();
        OrdersFixture::TearDown();
    }

    std::unique_ptr<KeepAliveFront> front;
};

}  // namespace

TEST_F(ObjednavkyKeepAlive, AnOrderStoredBeforeTheConnectionDiedIsSentOnceAndTheRunFails) {
    front->resetOnce([](const KeepAliveFront::Request& r) { return r.body.find("\"EXPORT\"") != std::string::npos; });
    auto summary = ObjednavkyBeh::exportuj(*t, nullptr);
    EXPECT_EQ(summary.k, 0);
    EXPECT_EQ(summary.n, 2);
    EXPECT_EQ(summary.chyba.rfind(std::string("chyba!,,") + ObjednavkyHttp::unreachableText, 0), 0u) << summary.chyba;
    auto exported = office->exportedOrders();
    ASSERT_EQ(exported.size(), 1u);
    EXPECT_EQ(exported[0]["CDOK"], 2001);

    // The office well again: the next run sends only the order it lacks.
    summary = ObjednavkyBeh::exportuj(*t, nullptr);
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(summary.k, 1);
    exported = office->exportedOrders();
    ASSERT_EQ(exported.size(), 2u);
    EXPECT_EQ(exported[1]["CDOK"], 2002);
}
