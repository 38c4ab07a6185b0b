#pragma once

#include <string>

#include "app/ScreenSnapshot.h"

// Draws a snapshot as plain text: title, bar buttons, numbered rows with
// their detail lines, widgets, the web page as text, and an alert box over
// it; then the help line. ANSI colours only when asked for.
class TerminalRenderer {
public:
    explicit TerminalRenderer(bool colour = false) : colour_(colour) {}

    std::string render(const ScreenSnapshot& snapshot) const;
    std::string renderAlert(const platform::AlertController& alert) const;

private:
    std::string paint(const std::string& text, const std::optional<platform::Color>& colour) const;
    std::string bold(const std::string& text) const;
    std::string renderField(const platform::TextField& field, int number) const;

    bool colour_;
};
