#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/Command.h"
#include "app/ScreenSnapshot.h"
#include "platform/ui/Window.h"

// Drives the screen model the way a person does: turns one typed command into
// a tap, a typed text, a back or a button on what the window shows now, and
// draws the result. Tests use it directly, without a process.
//
// On a screen or alert with one text field, a bare value (a number that is no
// row, in an alert any number; a text that names no button) is typed into the
// field; with one button as well, the line's Enter then taps it. An empty
// line taps the only button of an alert, or of a screen without rows. A line
// holding a control character is refused whole: nothing is typed or tapped.
//
// "q" while a document is being written and not stored asks first; a second
// "q" as the next line quits.
class ModelRunner {
public:
    struct Result {
        bool quit = false;
        bool ok = true;          // false: the command did not fit the screen
        std::string message;     // what to tell the person (empty when nothing)
    };

    explicit ModelRunner(std::shared_ptr<platform::Window> window);

    // Lets the program work for the given time (main queue included).
    void setWaitHandler(std::function<void(std::chrono::milliseconds)> wait) { wait_ = std::move(wait); }
    // Runs after each command, to let deferred work run; by default every
    // block pending on the main queue.
    void setIdleHandler(std::function<void()> idle) { idle_ = std::move(idle); }

    Result execute(const std::string& line);
    std::string draw(bool colour = false) const;
    ScreenSnapshot snapshot() const { return ScreenSnapshot::take(*window_); }
    const std::shared_ptr<platform::Window>& window() const { return window_; }

private:
    Result onAlert(const Command& command, platform::AlertController& alert);
    Result onScreen(const Command& command, const ScreenSnapshot& snapshot);
    static Result fill(platform::TextField& field, const std::string& text);
    // Types a bare value into the one field, then taps the one button (when
    // there is one) as the Enter that ended the line.
    static Result enterValue(platform::TextField& field, const std::string& text,
                             const std::function<bool()>& submit);
    // Taps the screen's only button; none when it has more, none, or rows.
    static std::function<bool()> singleButton(const ScreenSnapshot& s);
    void idle();

    std::shared_ptr<platform::Window> window_;
    std::function<void()> idle_;
    std::function<void(std::chrono::milliseconds)> wait_;
    // "q" was answered with a question (a document is being written).
    bool quitAsked_ = false;
};
