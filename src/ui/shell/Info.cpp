#include "ui/shell/Info.h"

void Info::loadView() {
    webView = std::make_shared<platform::WebView>();
    webView->setIdentifier("webView");
    setView(webView);
    platform::ViewController::loadView();
}

void Info::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    setTitle(std::string("info"));
    if (html && webView) webView->loadHTMLString(*html, std::nullopt);
}
