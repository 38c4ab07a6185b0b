#include "ui/shell/Uzivatel.h"

#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "ui/shell/SimpleMenu.h"

void Uzivatel::loadView() {
    webView = std::make_shared<platform::WebView>();
    webView->setIdentifier("webView");
    setView(webView);
    // The storyboard's layout adds the menu button.
    platform::ViewController::loadView();
}

void Uzivatel::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    const std::string page = sharedTrekora().getUzivatelHtml();
    if (webView) webView->loadHTMLString(page, std::nullopt);
    setTitle(std::string("užívateľ"));
}

void Uzivatel::menuTapped() {
    platform::Console::print("menu tapped");
    auto menu = platform::Storyboard::named("Main")->instantiate<SimpleMenu>("SimpleMenu");
    if (!menu) return;
    menu->item = "menu";
    if (auto nav = navigationController()) nav->pushViewController(menu, SimpleMenu::animovat());
}
