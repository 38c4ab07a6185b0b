#pragma once

#include <memory>

#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

// The login screen: the salesman types his PIN; a correct one opens the
// main menu, a wrong one is answered with an error alert.
class Login : public platform::ViewController {
public:
    // Connected by the storyboard.
    std::weak_ptr<platform::TextField> pinTextField;

    // The action of the login button.
    virtual void loginAction();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
};
