#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

// Shows one HTML page, handed over by the opener in `html`, under the title "info".
class Info : public platform::ViewController {
public:
    std::shared_ptr<platform::WebView> webView;
    // The page; set by the opener before the screen is shown. Absent: nothing is loaded.
    std::optional<std::string> html;

    void loadView() override;
    void viewDidLoad() override;
};
