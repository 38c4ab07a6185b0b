#include "fiscal/FiscalStoryboard.h"

#include "fiscal/Test.h"
#include "fiscal/Tlac.h"
#include "platform/ui/Button.h"
#include "platform/ui/Storyboard.h"

using platform::Storyboard;
using platform::ViewController;

namespace {

constexpr const char* kMain = "Main";

void layoutTlac(ViewController& screen) {
    auto& tlac = static_cast<Tlac&>(screen);
    tlac.setTitle(std::string("tlač"));
    tlac.imageViewPrinter = tlac.addOutlet<platform::ImageView>("imageViewPrinter", "tlačiareň");
    auto progress = tlac.addOutlet<platform::ProgressView>("progressView", "priebeh");
    tlac.progressView = progress;
    auto hotovo = tlac.addOutlet<platform::Button>("hotovoButton", "hotovo");
    hotovo->setTitle("hotovo");
    std::weak_ptr<Tlac> weak = std::static_pointer_cast<Tlac>(tlac.shared_from_this());
    hotovo->addTarget([weak](platform::Control&) {
        if (auto s = weak.lock()) s->hotovoTapped();
    });
}

void layoutTest(ViewController& screen) {
    auto& test = static_cast<Test&>(screen);
    test.setTitle(std::string("test"));
    std::weak_ptr<Test> weak = std::static_pointer_cast<Test>(test.shared_from_this());
    using Action = void (Test::*)();
    const Action actions[] = {&Test::btn1Action, &Test::btn2Action, &Test::btn3Action,
                              &Test::btn4Action, &Test::btn5Action, &Test::btn6Action,
                              &Test::btn7Action, &Test::btn8Action, &Test::btn9Action};
    const char* const titles[] = {"create", "connect", "disconnect", "ESC DC1", "ESC I",
                                  "ESC c", "ESC DC1 ESC e", "ESC I ESC e", "ESC c ESC e"};
    for (int i = 0; i < 9; ++i) {
        auto button = test.addOutlet<platform::Button>("btn" + std::to_string(i + 1), titles[i]);
        button->setTitle(titles[i]);
        button->addTarget([weak, action = actions[i]](platform::Control&) {
            if (auto s = weak.lock()) ((*s).*action)();
        });
    }
}

}  // namespace

void FiscalStoryboard::registerAll() {
    Storyboard::registerScreen(kMain, "Tlac", [] { return std::make_shared<Tlac>(); }, layoutTlac);
    Storyboard::registerScreen(kMain, "Test", [] { return std::make_shared<Test>(); }, layoutTest);
}
