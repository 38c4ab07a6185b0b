#include <gtest/gtest.h>

#include <memory>

#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TextField.h"

using namespace platform;

namespace {

class Login : public ViewController {
public:
    std::weak_ptr<TextField> pinTextField;
    bool outletConnectedAtLoad = false;
    void viewDidLoad() override { outletConnectedAtLoad = pinTextField.lock() != nullptr; }
};

class Other : public ViewController {};

class Delegate : public ApplicationDelegate {
public:
    std::vector<std::string> calls;
    std::shared_ptr<ViewController> rootAtLaunch;
    bool didFinishLaunchingWithOptions(Application&, const LaunchOptions&) override {
        calls.push_back("launch");
        rootAtLaunch = window() ? window()->rootViewController() : nullptr;
        return true;
    }
    void applicationWillTerminate(Application&) override { calls.push_back("terminate"); }
};

class StoryboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        Storyboard::resetRegistry();
        Storyboard::registerScreen("Main", "Login", [] { return std::make_shared<Login>(); },
                                   [](ViewController& vc) {
                                       auto& login = static_cast<Login&>(vc);
                                       login.pinTextField = login.addOutlet<TextField>("pinTextField", "PIN");
                                   });
        Storyboard::registerScreen("Main", "Other", [] { return std::make_shared<Other>(); });
    }
    void TearDown() override {
        Storyboard::resetRegistry();
        Application::shared().reset();
    }
};

}  // namespace

TEST_F(StoryboardTest, BuildsScreensByIdentifierAndConnectsOutletsAtLoad) {
    auto board = Storyboard::named("Main");
    EXPECT_EQ(board, Storyboard::named("Main"));
    auto login = board->instantiate<Login>("Login");
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->storyboard(), board);
    EXPECT_EQ(login->storyboardIdentifier(), "Login");
    EXPECT_FALSE(login->isViewLoaded());
    login->loadViewIfNeeded();
    EXPECT_TRUE(login->outletConnectedAtLoad);
    EXPECT_EQ(login->pinTextField.lock()->accessibilityLabel(), "PIN");
    // Every instantiation is a new screen.
    EXPECT_NE(board->instantiateViewController("Login"), login);
}

TEST_F(StoryboardTest, UnknownIdentifierOrWrongClassGivesNoScreen) {
    auto board = Storyboard::named("Main");
    EXPECT_EQ(board->instantiateViewController("Nic"), nullptr);
    EXPECT_EQ(board->instantiate<Login>("Other"), nullptr);
    EXPECT_EQ(Storyboard::named("Iny")->instantiateViewController("Login"), nullptr);
    EXPECT_EQ(board->instantiateInitialViewController(), nullptr);
}

TEST_F(StoryboardTest, InitialScreenComesInANavigationControllerAndSeguesPush) {
    Storyboard::registerInitialScreen("Main", "Login");
    Storyboard::registerSegue("Main", "Login", "next", "Other");
    auto nav = std::dynamic_pointer_cast<NavigationController>(Storyboard::named("Main")->instantiateInitialViewController());
    ASSERT_NE(nav, nullptr);
    auto login = std::dynamic_pointer_cast<Login>(nav->topViewController());
    ASSERT_NE(login, nullptr);
    login->performSegue("next");
    EXPECT_NE(std::dynamic_pointer_cast<Other>(nav->topViewController()), nullptr);
    login->performSegue("none");
    EXPECT_EQ(login->lastSegueIdentifier(), std::optional<std::string>("none"));
    EXPECT_EQ(nav->viewControllers().size(), 2u);
}

TEST_F(StoryboardTest, ApplicationMainLaunchesRunsAndTerminates) {
    Storyboard::registerInitialScreen("Main", "Login");
    std::shared_ptr<Delegate> delegate;
    Application::registerDelegateClass("TestDelegate", [&] { return delegate = std::make_shared<Delegate>(); });
    bool ran = false;
    char arg0[] = "trekora";
    char* argv[] = {arg0, nullptr};
    int rc = Application::main(1, argv, std::nullopt, std::string("TestDelegate"), [&](Application& app) {
        ran = true;
        ASSERT_TRUE(app.window());
        EXPECT_TRUE(app.window()->isVisible());
        EXPECT_NE(std::dynamic_pointer_cast<Login>(app.window()->topScreen()), nullptr);
    });
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(ran);
    ASSERT_NE(delegate, nullptr);
    EXPECT_NE(delegate->rootAtLaunch, nullptr);
    EXPECT_EQ(delegate->calls, (std::vector<std::string>{"launch", "terminate"}));
    Application::shared().terminate();
    EXPECT_EQ(delegate->calls.size(), 2u);
}

TEST(OpeningURLs, SettingsAddressesCannotBeOpenedWebAddressesAreRecorded) {
    auto& app = Application::shared();
    app.reset();
    EXPECT_FALSE(app.canOpenURL("prefs:root=WIFI"));
    EXPECT_FALSE(app.canOpenURL("App-Prefs:root=WIFI"));
    EXPECT_FALSE(app.canOpenURL("nonsense"));
    EXPECT_TRUE(app.canOpenURL("https://example.invalid/install"));
    std::optional<bool> opened;
    app.open("prefs:root=WIFI", {}, [&](bool ok) { opened = ok; });
    EXPECT_EQ(opened, std::optional<bool>(false));
    app.open("http://127.0.0.1/install");
    EXPECT_EQ(app.openedURLs(), (std::vector<std::string>{"http://127.0.0.1/install"}));
    app.reset();
}
