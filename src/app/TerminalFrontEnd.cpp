#include "app/TerminalFrontEnd.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "platform/ui/Application.h"

TerminalFrontEnd::TerminalFrontEnd(ModelRunner& runner, std::istream& in, std::ostream& out, bool colour, bool echo)
    : runner_(runner), in_(in), out_(out), colour_(colour), echo_(echo) {}

void TerminalFrontEnd::run() {
    out_ << runner_.draw(colour_);
    std::string line;
    while (true) {
        out_ << "> " << std::flush;
        if (!std::getline(in_, line)) {
            out_ << "\n";
            break;
        }
        if (echo_) out_ << line << "\n";
        auto result = runner_.execute(line);
        if (result.quit) break;
        if (!result.message.empty()) out_ << (result.ok ? "" : "! ") << result.message << "\n";
        out_ << "\n" << runner_.draw(colour_);
    }
    out_ << std::flush;
}

bool TerminalFrontEnd::isTerminal(int fd) { return ::isatty(fd) == 1; }

void TerminalFrontEnd::runOnStandardStreams(platform::Application& app) {
    auto window = app.window();
    if (!window) return;
    ModelRunner runner(window);
    app.setURLOpener([](const std::string& url) { std::cout << "(opened " << url << ")\n"; });
    TerminalFrontEnd frontEnd(runner, std::cin, std::cout, isTerminal(STDOUT_FILENO), !isTerminal(STDIN_FILENO));
    frontEnd.run();
}
