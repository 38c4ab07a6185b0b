#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "app/ScreenSnapshot.h"
#include "app/TerminalRenderer.h"

// Fits a drawn screen into the lines of a terminal: the title, the bar
// buttons, the toolbar and an open alert always show; the content between
// them shows one window at a time, with a line saying what is shown and how
// to move ("+" further down, "-" back up): the rows in view of a screen with
// rows, else the lines. A new screen or alert starts at the top. Only what
// falls in the window is drawn, so that a list of any length costs the cells
// of one window: the tables keep the cells of the rows in view and hand the
// others back for reuse.
class ScreenPager {
public:
    // The screen cut to `height` lines; 0 or less: the whole screen.
    // `shown` is the screen (or alert) drawn, to notice when it changes.
    std::string fit(const ScreenSnapshot& snapshot, const TerminalRenderer& renderer, int height, const void* shown);
    // Move the window by one window's height at the next drawing; false when
    // it is at the end (at the start) already.
    bool forward();
    bool backward();

private:
    // A line of the content: the line `line` of entry `entry`.
    struct Position {
        std::size_t entry = 0;
        int line = 0;
        bool operator==(const Position&) const = default;
    };
    // The drawn lines of the entries of one drawing.
    class Lines {
    public:
        Lines(const ScreenSnapshot& snapshot, const TerminalRenderer& renderer)
            : snapshot_(snapshot), renderer_(renderer) {}
        std::size_t entries() const { return snapshot_.entryCount(); }
        const std::vector<std::string>& of(std::size_t entry);
        Position advance(Position from, int lines);
        Position retreat(Position from, int lines);
        bool anyBefore(Position at);

    private:
        const ScreenSnapshot& snapshot_;
        const TerminalRenderer& renderer_;
        std::map<std::size_t, std::vector<std::string>> drawn_;
    };

    const void* shown_ = nullptr;
    Position top_;
    int move_ = 0;        // +1 forward, -1 back at the next drawing
    bool further_ = false;  // lines follow the window drawn last
    bool back_ = false;     // lines precede it
};
