#pragma once

#include <memory>
#include <string>

#include "app/TerminalRenderer.h"

// Fits a drawn screen into the lines of a terminal: the title, the bar
// buttons, the toolbar and an open alert always show; the content between
// them shows one window at a time, with a line saying which of its lines are
// shown and how to move ("+" further down, "-" back up). A new screen or
// alert starts at the top.
class ScreenPager {
public:
    // The page cut to `height` lines; 0 or less: the whole page.
    // `shown` is the screen (or alert) drawn, to notice when it changes.
    std::string fit(const TerminalRenderer::Page& page, int height, const void* shown);
    // Moves the window by one window's height; false when it is at the end.
    bool forward();
    bool backward();

private:
    const void* shown_ = nullptr;
    int offset_ = 0;
    int window_ = 0;
    int bodyLines_ = 0;
};
