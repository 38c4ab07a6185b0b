#pragma once

#include <string>

#include "app/ScreenSnapshot.h"

// Draws a snapshot as plain text: title, bar buttons, numbered rows with
// their detail lines, widgets, the web page as text, and an alert box over
// it. ANSI colours only when asked for. Given the terminal's width, every
// drawn line is fitted to it (LineWrap).
class TerminalRenderer {
public:
    // A drawn screen in three parts, each of whole lines: the title with the
    // bar buttons, the content (what scrolls on a short terminal), and the
    // toolbar with the open alert.
    struct Page {
        std::string head;
        std::string body;
        std::string foot;
        std::string text() const { return head + body + foot; }
    };

    // `width` 0 or less: lines are drawn as long as they are.
    explicit TerminalRenderer(bool colour = false, int width = 0) : colour_(colour), width_(width) {}

    // The whole screen. The rows are drawn one after another, each cell
    // handed back for reuse once its row is drawn.
    std::string render(const ScreenSnapshot& snapshot) const { return renderPage(snapshot).text(); }
    Page renderPage(const ScreenSnapshot& snapshot) const;
    // The parts of a page on their own: the head, one entry of the content
    // (a row asks its table for its cell), the foot.
    std::string renderHead(const ScreenSnapshot& snapshot) const;
    std::string renderEntry(const ScreenSnapshot& snapshot, std::size_t entry) const;
    std::string renderFoot(const ScreenSnapshot& snapshot) const;
    std::string renderAlert(const platform::AlertController& alert) const;

private:
    std::string headText(const ScreenSnapshot& snapshot) const;
    std::string entryText(const ScreenSnapshot& snapshot, std::size_t entry) const;
    std::string footText(const ScreenSnapshot& snapshot) const;
    std::string paint(const std::string& text, const std::optional<platform::Color>& colour) const;
    std::string bold(const std::string& text) const;
    std::string renderField(const platform::TextField& field, int number) const;
    std::string renderRow(const std::shared_ptr<platform::TableViewCell>& cell, int rowNumber) const;

    bool colour_;
    int width_;
};
