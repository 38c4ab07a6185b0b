#pragma once

#include <memory>

#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

// A field and a label for a kilometre reading; the label shows the title of
// the top screen of the navigation stack.
class Kilometre : public platform::ViewController {
public:
    // Connected by the storyboard.
    std::weak_ptr<platform::TextField> textFieldKilometre;
    std::weak_ptr<platform::Label> labelKilometre;

    void viewDidLoad() override;
};
