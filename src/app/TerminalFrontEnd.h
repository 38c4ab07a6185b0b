#pragma once

#include <iosfwd>
#include <string>

#include "app/ModelRunner.h"

namespace platform {
class Application;
}

// The terminal front end: draws the screen, reads a line, runs it, until
// "q" or the end of input. When input is not a terminal, each line read is
// echoed after the prompt so that a transcript reads as a session.
class TerminalFrontEnd {
public:
    // Reads lines from a stream (tests, scripts).
    TerminalFrontEnd(ModelRunner& runner, std::istream& in, std::ostream& out, bool colour, bool echo);
    // Reads lines from a descriptor; while waiting for input the main queue
    // keeps running and the screen is drawn again when that work changed it.
    TerminalFrontEnd(ModelRunner& runner, int inputFd, std::ostream& out, bool colour, bool echo);

    void run();

    // Runs on standard input and output for the application's window;
    // colours when standard output is a terminal.
    static void runOnStandardStreams(platform::Application& app);
    static bool isTerminal(int fd);

private:
    bool readLine(std::string& line);

    ModelRunner& runner_;
    std::istream* in_ = nullptr;
    int fd_ = -1;
    std::string pending_;
    bool eof_ = false;
    std::ostream& out_;
    bool colour_;
    bool echo_;
};
