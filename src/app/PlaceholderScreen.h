#pragma once

#include "platform/ui/ViewController.h"

#include <string>

// Holds the place of a screen that is not built: shown when the storyboard
// "Main" names no initial screen.
class PlaceholderScreen : public platform::ViewController {
public:
    explicit PlaceholderScreen(std::string message = "no initial screen registered in the storyboard \"Main\"")
        : message_(std::move(message)) {}
    void viewDidLoad() override;

private:
    std::string message_;
};
