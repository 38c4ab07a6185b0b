#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "app/ModelRunner.h"
#include "app/ScreenPager.h"

namespace platform {
class Application;
}

// The terminal front end: draws the screen, reads a line, runs it, until
// "q" or the end of input. When input is not a terminal, each line read is
// echoed after the prompt so that a transcript reads as a session. The list
// of commands shows under the first screen and on "?"; a screen taller than
// the terminal shows a part of its content at a time ("+" and "-" move).
class TerminalFrontEnd {
public:
    // Reads lines from a stream (tests, scripts).
    TerminalFrontEnd(ModelRunner& runner, std::istream& in, std::ostream& out, bool colour, bool echo);
    // Reads lines from a descriptor; while waiting for input the main queue
    // keeps running and the screen is drawn again when that work changed it.
    TerminalFrontEnd(ModelRunner& runner, int inputFd, std::ostream& out, bool colour, bool echo);

    void run();
    // The terminal's height in lines, asked before each drawing; 0 or less
    // (and by default): no limit.
    void setHeight(std::function<int()> height) { height_ = std::move(height); }
    // The terminal's width in characters, asked before each drawing; every
    // line written is fitted to it. 0 or less (and by default): no limit.
    void setWidth(std::function<int()> width) { width_ = std::move(width); }

    // Runs on standard input and output for the application's window;
    // colours when standard output is a terminal.
    static void runOnStandardStreams(platform::Application& app);
    static bool isTerminal(int fd);
    // The height and the width of the terminal on the descriptor; 0 when it
    // is none.
    static int terminalHeight(int fd);
    static int terminalWidth(int fd);

private:
    bool readLine(std::string& line);
    // The current screen, cut to the terminal, leaving `reserved` lines for
    // what follows it.
    std::string draw(int reserved);
    // The text fitted to the terminal's width.
    std::string fitted(const std::string& text) const;

    ModelRunner& runner_;
    std::istream* in_ = nullptr;
    int fd_ = -1;
    std::string pending_;
    bool eof_ = false;
    std::ostream& out_;
    bool colour_;
    bool echo_;
    std::function<int()> height_;
    std::function<int()> width_;
    ScreenPager pager_;
};
