#pragma once

#include <memory>

#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

// The statistics page of the logged-in user under the title "užívateľ".
class Uzivatel : public platform::ViewController {
public:
    std::shared_ptr<platform::WebView> webView;

    // Opens a new main menu above this page.
    virtual void menuTapped();

    void loadView() override;
    void viewDidLoad() override;
};
