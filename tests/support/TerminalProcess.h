#pragma once

// The real program in a terminal session driven by a test: typed lines go to
// its standard input as a person types them, one after the other, and the
// test waits (with a deadline) until the screen it expects is drawn on
// standard output. Standard error goes to a file.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>

class TerminalProcess {
public:
    // Starts `program` in `directory` with these variables added to the
    // environment (an empty value removes the variable).
    TerminalProcess(const std::string& program, const std::string& directory,
                    const std::map<std::string, std::string>& environment, const std::string& errorFile);
    ~TerminalProcess();
    TerminalProcess(const TerminalProcess&) = delete;
    TerminalProcess& operator=(const TerminalProcess&) = delete;

    bool running() const { return pid_ > 0; }
    // Types one line (the newline is added).
    void type(const std::string& line);
    // Waits until `text` is drawn after what an earlier wait consumed; true
    // when it came in time. The output up to and including it is consumed.
    bool waitFor(const std::string& text, std::chrono::milliseconds deadline = std::chrono::milliseconds(10000));
    // Everything drawn so far, and what came after the last wait.
    const std::string& output() const { return output_; }
    std::string unread() const { return output_.substr(consumed_); }
    // Closes standard input and waits for the end; the exit status, or -1
    // when it had to be killed.
    int finish(std::chrono::milliseconds deadline = std::chrono::milliseconds(10000));

private:
    // Reads what is there within the time: 1 bytes read, 0 nothing yet, -1 closed.
    int readSome(int timeoutMs);

    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string output_;
    std::size_t consumed_ = 0;
};
