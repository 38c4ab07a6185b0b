#pragma once

#include <memory>
#include <string>

#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

class Polozky;

// The confirmation: "zapísať doklad?" with the document's value and, for a
// customer in the loyalty programme, his account. Its three buttons leave the
// answer in the lines editor's selectedAction and return to it.
class Hotovo : public platform::ViewController {
public:
    std::weak_ptr<platform::View> containerView;
    std::shared_ptr<platform::WebView> webView;
    std::shared_ptr<Polozky> polozkyController;

    void loadView() override;
    void viewDidLoad() override;

    void zapisatDoklad();
    void upravitDoklad();
    void zrusitDoklad();

    // The page for the current document.
    static std::string stranka();

private:
    void odpoved(const std::string& action);
};
