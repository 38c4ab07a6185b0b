#include "platform/ui/AlertController.h"

#include <iostream>

namespace platform {

AlertController::AlertController(std::optional<std::string> title, std::optional<std::string> message,
                                 Style style)
    : message_(std::move(message)), style_(style) {
    setTitle(std::move(title));
}

std::shared_ptr<AlertController> AlertController::make(std::optional<std::string> title,
                                                       std::optional<std::string> message, Style style) {
    return std::make_shared<AlertController>(std::move(title), std::move(message), style);
}

void AlertController::addAction(std::shared_ptr<AlertAction> action) {
    if (action) actions_.push_back(std::move(action));
}

void AlertController::addTextField(const std::function<void(TextField&)>& configure) {
    if (style_ != Style::alert) {
        std::cerr << "Text fields can only be added to an alert; ignored\n";
        return;
    }
    auto field = std::make_shared<TextField>();
    field->setIdentifier("textField" + std::to_string(textFields_.size() + 1));
    contentView()->addSubview(field);
    textFields_.push_back(field);
    if (configure) configure(*field);
}

std::shared_ptr<AlertAction> AlertController::action(const std::string& title) const {
    for (auto& a : actions_)
        if (a->title() == title) return a;
    return nullptr;
}

bool AlertController::tapAction(const std::string& title) { return tap(action(title)); }

bool AlertController::tapAction(size_t index) {
    return index < actions_.size() ? tap(actions_[index]) : false;
}

bool AlertController::tap(const std::shared_ptr<AlertAction>& action) {
    if (!action || !action->isEnabled()) return false;
    // Keep the alert alive through its own handler.
    auto self = shared_from_this();
    for (auto& field : textFields_) field->resignFirstResponder();
    if (presentingViewController()) dismiss(true);
    action->run();
    // The alert is finished: drop the handlers, which often hold the alert.
    for (auto& a : actions_) a->dropHandler();
    return true;
}

}  // namespace platform
