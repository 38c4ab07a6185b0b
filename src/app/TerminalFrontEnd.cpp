#include "app/TerminalFrontEnd.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <string>

#include "app/Command.h"
#include "app/LineWrap.h"
#include "app/TerminalRenderer.h"
#include "platform/MainRunLoop.h"
#include "platform/ui/Application.h"

TerminalFrontEnd::TerminalFrontEnd(ModelRunner& runner, std::istream& in, std::ostream& out, bool colour, bool echo)
    : runner_(runner), in_(&in), out_(out), colour_(colour), echo_(echo) {}

TerminalFrontEnd::TerminalFrontEnd(ModelRunner& runner, int inputFd, std::ostream& out, bool colour, bool echo)
    : runner_(runner), fd_(inputFd), out_(out), colour_(colour), echo_(echo) {}

bool TerminalFrontEnd::readLine(std::string& line) {
    if (in_) return static_cast<bool>(std::getline(*in_, line));
    for (;;) {
        auto nl = pending_.find('\n');
        if (nl != std::string::npos) {
            line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        if (eof_) {
            if (pending_.empty()) return false;
            line.swap(pending_);
            pending_.clear();
            return true;
        }
        pollfd p{fd_, POLLIN, 0};
        int ready = ::poll(&p, 1, 100);
        if (ready < 0 && errno != EINTR) {
            eof_ = true;
            continue;
        }
        if (ready > 0) {
            char buf[4096];
            ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0) {
                pending_.append(buf, static_cast<size_t>(n));
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                eof_ = true;
            }
            continue;
        }
        // Nothing typed yet: let the program's own work go on, and show
        // what it changed.
        if (platform::MainRunLoop::drain() > 0) out_ << "\n" << draw(2) << "> " << std::flush;
    }
}

std::string TerminalFrontEnd::draw(int reserved) {
    const ScreenSnapshot snapshot = runner_.snapshot();
    const void* shown = snapshot.alert ? static_cast<const void*>(snapshot.alert.get())
                                       : static_cast<const void*>(snapshot.screen.get());
    const int height = height_ ? height_() : 0;
    const int width = width_ ? width_() : 0;
    return pager_.fit(snapshot, TerminalRenderer(colour_, width), height > 0 ? std::max(1, height - reserved) : 0,
                      shown);
}

std::string TerminalFrontEnd::fitted(const std::string& text) const { return LineWrap::wrap(text, width_ ? width_() : 0); }

void TerminalFrontEnd::run() {
    const std::string help = fitted(Command::helpLine() + "\n");
    const int helpLines = static_cast<int>(std::count(help.begin(), help.end(), '\n'));
    out_ << draw(helpLines + 1) << help;
    std::string line;
    while (true) {
        out_ << "> " << std::flush;
        if (!readLine(line)) {
            out_ << "\n";
            break;
        }
        if (echo_) out_ << line << "\n";
        const Command command = Command::parse(line);
        std::string message;
        if (command.kind == Command::Kind::scrollDown || command.kind == Command::Kind::scrollUp) {
            bool moved = command.kind == Command::Kind::scrollDown ? pager_.forward() : pager_.backward();
            if (!moved) message = fitted("! nothing more to show that way\n");
        } else {
            auto result = runner_.execute(line);
            if (result.quit) break;
            if (!result.message.empty()) message = fitted((result.ok ? "" : "! ") + result.message + "\n");
        }
        out_ << message;
        const int messageLines = static_cast<int>(std::count(message.begin(), message.end(), '\n'));
        out_ << "\n" << draw(messageLines + 2);
    }
    out_ << std::flush;
}

bool TerminalFrontEnd::isTerminal(int fd) { return ::isatty(fd) == 1; }

int TerminalFrontEnd::terminalHeight(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_row;
}

int TerminalFrontEnd::terminalWidth(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

void TerminalFrontEnd::runOnStandardStreams(platform::Application& app) {
    auto window = app.window();
    if (!window) return;
    ModelRunner runner(window);
    app.setURLOpener([](const std::string& url) { std::cout << "(opened " << url << ")\n"; });
    TerminalFrontEnd frontEnd(runner, STDIN_FILENO, std::cout, isTerminal(STDOUT_FILENO), !isTerminal(STDIN_FILENO));
    if (isTerminal(STDOUT_FILENO)) {
        frontEnd.setHeight([] { return terminalHeight(STDOUT_FILENO); });
        frontEnd.setWidth([] { return terminalWidth(STDOUT_FILENO); });
    }
    frontEnd.run();
}
