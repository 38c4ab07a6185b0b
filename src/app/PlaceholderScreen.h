#pragma once

#include "platform/ui/ViewController.h"

// Shown when the storyboard "Main" names no initial screen.
class PlaceholderScreen : public platform::ViewController {
public:
    void viewDidLoad() override;
};
