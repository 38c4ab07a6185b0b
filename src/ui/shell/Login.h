#pragma once

#include <memory>
#include <string>

#include "platform/ui/AlertController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

// The login screen: the salesman types his PIN; a correct one opens the
// main menu, a wrong one is answered with an error alert. A database that
// cannot be read is named as damaged, with the way back to work.
class Login : public platform::ViewController {
public:
    // Connected by the storyboard.
    std::weak_ptr<platform::TextField> pinTextField;

    // The action of the login button.
    virtual void loginAction();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    // The alert for a database that cannot be read (SQLite's `reason`): it
    // says what to do and offers to set the database aside behind the
    // service code.
    std::shared_ptr<platform::AlertController> poskodenaDatabaza(const std::string& reason);
};
