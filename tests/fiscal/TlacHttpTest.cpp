// The print screen with the two HTTP types: "EKASA" registers a cash sale
// at the fake fiscal service and writes its identifiers back; "ESP" prints
// a plain document on the fake print adapter. Types are taken in any case.

#include "fakes/FakeFiscalService.h"
#include "fakes/FakePrintAdapter.h"
#include "fiscal/Ekasa.h"
#include "fiscal/Esp.h"
#include "fiscal/PrintScreenFixture.h"
#include "fiscal/Tlac.h"
#include "platform/MainRunLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "records/NastaveniaItem.h"
#include "report/Preview.h"
#include "support/TrekoraTestEnvironment.h"

#include <gtest/gtest.h>

namespace {

class TlacHttp : public PrintScreenFixture {
protected:
    void SetUp() override {
        PrintScreenFixture::SetUp();
        platform::Image::registerResource("ekasa.png");
        platform::Image::registerResource("lx350.png");
        auto& t = sharedTrekora();
        t.nastaveniaItem = std::make_shared<NastaveniaItem>();
        t.nastaveniaItem->WIFI_PRINTER_SSID = "auto-wifi";
        t.nastaveniaItem->WIFI_PRINTER_IP = "127.0.0.1";
    }

    // Pushes the print screen and answers the message of its final alert.
    std::string print(std::shared_ptr<Tlac>& screen) {
        screen = push();
        return screen ? finished() : "";
    }
    // Waits for the final alert of the print screen; answers its message.
    std::string finished() {
        auto alert = waitForAlert("fiskal");
        return alert ? alert->message().value_or("") : "<no alert>";
    }

    // Printer 1 is the fiscal service `service`; the preview of document
    // `id` of the documents list is pushed.
    std::shared_ptr<Preview> previewOnTheService(const FakeFiscalService& service, const std::string& id) {
        env->execute("update nastavenia set fiscal_type = 'EKASA'");
        auto& t = sharedTrekora();
        t.nastaveniaItem->FISCAL_TYPE = "EKASA";
        t.nastaveniaItem->WIFI_PRINTER_PORT = std::to_string(service.port());
        for (const auto& row : t.getData("vsetky_vystavene"))
            if (row.at("ID") == id) t.printingDoklad = row;
        EXPECT_EQ(t.printingDoklad["ID"], id);
        auto preview = platform::Storyboard::named("Main")->instantiate<Preview>("Preview");
        nav->pushViewController(preview, false);
        return preview;
    }

};

}  // namespace

TEST_F(TlacHttp, EkasaRegistersTheCashSaleAndWritesItBack) {
    FakeFiscalService service;
    auto& t = sharedTrekora();
    t.nastaveniaItem->FISCAL_TYPE = "ekasa";
    t.nastaveniaItem->WIFI_PRINTER_PORT = std::to_string(service.port());
    t.fiskalCommand = Fiskal::Command::tlacDoklad;
    t.fiskalCommandParameters = {{"CDOK", "1005"}, {"ID", "1005"}};
    t.fiskalTxt = "{&quot;document&quot; : {&quot;externalId&quot; : &quot;1005&quot;,&quot;items&quot; : [{},]}}";
    std::shared_ptr<Tlac> screen;
    EXPECT_EQ(print(screen), "OK");
    EXPECT_TRUE(std::dynamic_pointer_cast<Ekasa>(screen->fiskal));
    EXPECT_EQ(screen->imageViewPrinter.lock()->image()->name(), "ekasa.png");
    EXPECT_EQ(env->scalar("select pardok from vety where id = 1005"), "20260300001");
    EXPECT_EQ(service.registered(), 1u);
}

TEST_F(TlacHttp, EspPrintsAPlainDocument) {
    FakePrintAdapter adapter;
    auto& t = sharedTrekora();
    t.nastaveniaItem->FISCAL_TYPE = "Esp";
    t.nastaveniaItem->WIFI_PRINTER_PORT = std::to_string(adapter.port());
    t.fiskalCommand = Fiskal::Command::tlacNefiskalnyDoklad;
    t.fiskalCommandParameters = {};
    t.fiskalTxt = "Dodací list";
    std::shared_ptr<Tlac> screen;
    EXPECT_EQ(print(screen), "OK");
    EXPECT_TRUE(std::dynamic_pointer_cast<Esp>(screen->fiskal));
    ASSERT_EQ(adapter.jobs().size(), 1u);
    EXPECT_NE(adapter.jobs()[0].body.find("Dodac\xa1 list"), std::string::npos);
}

TEST_F(TlacHttp, EkasaWritesBackIntoTheDocumentOfThePreviewInANewSession) {
    FakeFiscalService service;
    auto& t = sharedTrekora();
    auto preview = previewOnTheService(service, "1005");
    preview->tlacTapped();
    platform::MainRunLoop::drain();
    ASSERT_TRUE(window->presentedAlert() && window->presentedAlert()->tapAction("EKASA"));
    EXPECT_EQ(finished(), "OK");
    EXPECT_EQ(env->scalar("select uid || ' ' || pardok from vety where id = 1005"), "O-1001-UID 20260300001");
    EXPECT_EQ(t.printingDoklad["PARDOK"], "20260300001");
}

TEST_F(TlacHttp, ThePrintButtonAfterTheFixPrintsTheDocumentShown) {
    FakeFiscalService service;
    auto preview = previewOnTheService(service, "1005");
    preview->akciaTapped();
    platform::MainRunLoop::drain();
    ASSERT_TRUE(window->presentedAlert() && window->presentedAlert()->tapAction("ekasa fix document"));
    platform::MainRunLoop::drain();
    ASSERT_TRUE(window->presentedAlert() && window->presentedAlert()->tapAction("EKASA"));
    EXPECT_EQ(finished(), "OK");
    ASSERT_TRUE(window->presentedAlert()->tapAction("ok"));
    platform::MainRunLoop::drain();
    ASSERT_EQ(nav->topViewController(), preview);
    // Back on the preview, the printer button prints the sale shown.
    preview->tlacTapped();
    platform::MainRunLoop::drain();
    ASSERT_TRUE(window->presentedAlert() && window->presentedAlert()->tapAction("EKASA"));
    EXPECT_EQ(finished(), "OK");
    EXPECT_EQ(service.requests("/api/document/update").size(), 1u);
    EXPECT_EQ(service.requests("/api/document/store").size(), 1u);
    EXPECT_EQ(env->scalar("select pardok from vety where id = 1005"), "20260300001");
}
