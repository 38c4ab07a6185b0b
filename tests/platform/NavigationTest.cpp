#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/AlertController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

using namespace platform;

namespace {

class Recording : public ViewController {
public:
    Recording(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void viewDidLoad() override { log_.push_back(name_ + ".didLoad"); }
    void viewWillAppear(bool) override { log_.push_back(name_ + ".willAppear"); }
    void viewDidAppear(bool) override { log_.push_back(name_ + ".didAppear"); }
    void viewWillDisappear(bool) override { log_.push_back(name_ + ".willDisappear"); }
    void viewDidDisappear(bool) override { log_.push_back(name_ + ".didDisappear"); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

struct Stack {
    std::vector<std::string> log;
    std::shared_ptr<Recording> root = std::make_shared<Recording>("root", log);
    std::shared_ptr<NavigationController> nav = NavigationController::make(root);
    Window window;
    Stack() {
        window.setRootViewController(nav);
        window.makeKeyAndVisible();
        log.clear();
    }
    std::shared_ptr<Recording> make(const std::string& name) { return std::make_shared<Recording>(name, log); }
};

using Log = std::vector<std::string>;

}  // namespace

TEST(Navigation, ShowingTheWindowLoadsAndShowsTheRootOnce) {
    std::vector<std::string> log;
    auto root = std::make_shared<Recording>("root", log);
    Window window;
    window.setRootViewController(NavigationController::make(root));
    EXPECT_TRUE(log.empty());  // nothing before the window is shown
    window.makeKeyAndVisible();
    EXPECT_EQ(log, (Log{"root.didLoad", "root.willAppear", "root.didAppear"}));
    EXPECT_EQ(window.topScreen(), root);
}

TEST(Navigation, PushAndPopFireAppearanceInPlatformOrder) {
    Stack s;
    auto a = s.make("a");
    ASSERT_TRUE(s.nav->pushViewController(a, true));
    EXPECT_EQ(s.log, (Log{"a.didLoad", "root.willDisappear", "a.willAppear", "root.didDisappear", "a.didAppear"}));
    EXPECT_EQ(a->navigationController(), s.nav);

    s.log.clear();
    EXPECT_EQ(s.nav->popViewController(false), a);
    EXPECT_EQ(s.log, (Log{"a.willDisappear", "root.willAppear", "a.didDisappear", "root.didAppear"}));
    EXPECT_EQ(a->navigationController(), nullptr);

    // Shown again: loads no second time.
    s.log.clear();
    s.nav->pushViewController(a, false);
    EXPECT_EQ(s.log.front(), "root.willDisappear");

    ASSERT_EQ(s.nav->transitions().size(), 3u);
    EXPECT_TRUE(s.nav->transitions()[0].animated);
    EXPECT_FALSE(s.nav->transitions()[1].animated);
    EXPECT_EQ(s.nav->transitions()[1].kind, NavigationController::Transition::Kind::pop);
}

TEST(Navigation, PopToRootSkipsTheMiddleScreens) {
    Stack s;
    auto a = s.make("a"), b = s.make("b"), c = s.make("c");
    s.nav->pushViewController(a, false);
    s.nav->pushViewController(b, false);
    s.nav->pushViewController(c, false);
    s.log.clear();
    auto popped = s.nav->popToRootViewController(true);
    EXPECT_EQ(popped.size(), 3u);
    EXPECT_EQ(s.log, (Log{"c.willDisappear", "root.willAppear", "c.didDisappear", "root.didAppear"}));
    EXPECT_EQ(s.nav->viewControllers().size(), 1u);
    EXPECT_TRUE(s.nav->transitions().back().animated);
}

TEST(Navigation, RootCannotBePoppedAndAScreenStandsInOneStackOnly) {
    Stack s;
    EXPECT_EQ(s.nav->popViewController(true), nullptr);
    EXPECT_TRUE(s.nav->popToRootViewController(true).empty());
    EXPECT_FALSE(s.nav->pushViewController(s.root, true));
    auto other = NavigationController::make(s.make("x"));
    auto a = s.make("a");
    s.nav->pushViewController(a, false);
    EXPECT_FALSE(other->pushViewController(a, false));
    EXPECT_EQ(s.nav->viewControllers().size(), 2u);
}

TEST(Navigation, StackOffScreenFiresNothingUntilShown) {
    std::vector<std::string> log;
    auto root = std::make_shared<Recording>("root", log);
    auto nav = NavigationController::make(root);
    nav->pushViewController(std::make_shared<Recording>("a", log), false);
    EXPECT_TRUE(log.empty());
    Window window;
    window.setRootViewController(nav);
    window.makeKeyAndVisible();
    // Only the top screen appears.
    EXPECT_EQ(log, (Log{"a.didLoad", "a.willAppear", "a.didAppear"}));
}

TEST(Presentation, AlertsFireNoAppearanceOnTheScreensBeneath) {
    Stack s;
    auto a = s.make("a");
    s.nav->pushViewController(a, false);
    s.log.clear();

    auto alert = AlertController::make("t", "m");
    bool handled = false;
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle,
                                                   [&](AlertAction&) { handled = true; }));
    ASSERT_TRUE(a->present(alert, true));
    EXPECT_EQ(alert->presentedAnimated(), std::optional<bool>(true));
    EXPECT_EQ(s.window.presentedAlert(), alert);
    EXPECT_EQ(s.window.topScreen(), a);
    // A second presentation while the first is up is refused.
    EXPECT_FALSE(a->present(AlertController::make("2", ""), false));

    EXPECT_TRUE(alert->tapAction("ok"));
    EXPECT_TRUE(handled);
    EXPECT_EQ(s.window.presentedAlert(), nullptr);
    EXPECT_TRUE(s.log.empty());
}

TEST(Presentation, HandlerMayPresentTheNextAlert) {
    Stack s;
    auto second = AlertController::make("second", "");
    auto first = AlertController::make("first", "");
    first->addAction(std::make_shared<AlertAction>("áno", AlertAction::Style::defaultStyle,
                                                   [&](AlertAction&) { s.root->present(second, false); }));
    s.root->present(first, false);
    first->tapAction(size_t{0});
    EXPECT_EQ(s.window.presentedAlert(), second);
    EXPECT_FALSE(first->tapAction(size_t{5}));
}

TEST(Presentation, ModalScreenAppearsAndGoesBack) {
    Stack s;
    auto modal = s.make("m");
    s.root->present(modal, true);
    EXPECT_EQ(s.log, (Log{"m.didLoad", "m.willAppear", "m.didAppear"}));
    EXPECT_EQ(s.window.topScreen(), modal);
    s.log.clear();
    modal->dismiss(false);
    EXPECT_EQ(s.log, (Log{"m.willDisappear", "m.didDisappear"}));
    EXPECT_EQ(modal->dismissedAnimated(), std::optional<bool>(false));
    EXPECT_EQ(s.window.topScreen(), s.root);
}
