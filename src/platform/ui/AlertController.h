#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/AlertAction.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

namespace platform {

// An alert or action sheet: title, message, actions in the order added and,
// for alerts, text fields. Presenting or dismissing it fires no appearance
// callbacks on the screens beneath.
class AlertController : public ViewController {
public:
    enum class Style { actionSheet = 0, alert = 1 };

    AlertController(std::optional<std::string> title, std::optional<std::string> message, Style style);
    static std::shared_ptr<AlertController> make(std::optional<std::string> title,
                                                 std::optional<std::string> message, Style style = Style::alert);

    const std::optional<std::string>& message() const { return message_; }
    void setMessage(std::optional<std::string> message) { message_ = std::move(message); }
    Style preferredStyle() const { return style_; }

    void addAction(std::shared_ptr<AlertAction> action);
    const std::vector<std::shared_ptr<AlertAction>>& actions() const { return actions_; }
    std::shared_ptr<AlertAction> preferredAction() const { return preferred_; }
    void setPreferredAction(std::shared_ptr<AlertAction> action) { preferred_ = std::move(action); }

    // Only alerts carry text fields; the configuration runs at once.
    void addTextField(const std::function<void(TextField&)>& configure = {});
    const std::vector<std::shared_ptr<TextField>>& textFields() const { return textFields_; }

    // --- The user ---
    // Taps the action with this title (the first such) or at this index: the
    // alert is dismissed, then the handler runs. False when there is no such
    // enabled action.
    bool tapAction(const std::string& title);
    bool tapAction(size_t index);
    std::shared_ptr<AlertAction> action(const std::string& title) const;

private:
    bool tap(const std::shared_ptr<AlertAction>& action);

    std::optional<std::string> message_;
    Style style_;
    std::vector<std::shared_ptr<AlertAction>> actions_;
    std::shared_ptr<AlertAction> preferred_;
    std::vector<std::shared_ptr<TextField>> textFields_;
};

}  // namespace platform
