#include "support/TerminalProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

TerminalProcess::TerminalProcess(const std::string& program, const std::string& directory,
                                 const std::map<std::string, std::string>& environment,
                                 const std::string& errorFile) {
    // Everything the child needs is made before the fork: a child of a
    // process with threads may only make plain system calls.
    std::vector<std::string> variables;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry = *e;
        if (!environment.count(entry.substr(0, entry.find('=')))) variables.push_back(entry);
    }
    for (const auto& [name, value] : environment)
        if (!value.empty()) variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : variables) envp.push_back(entry.data());
    envp.push_back(nullptr);
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};

    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) return;
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(toChild[0], STDIN_FILENO);
        ::dup2(fromChild[1], STDOUT_FILENO);
        const int err = ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) ::dup2(err, STDERR_FILENO);
        if (::chdir(directory.c_str()) != 0) ::_exit(126);
        ::execve(program.c_str(), argv, envp.data());
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (pid < 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        return;
    }
    pid_ = pid;
    in_ = toChild[1];
    out_ = fromChild[0];
    // A program that has gone must not take the test with it.
    ::signal(SIGPIPE, SIG_IGN);
}

TerminalProcess::~TerminalProcess() { finish(std::chrono::milliseconds(2000)); }

void TerminalProcess::type(const std::string& line) {
    if (in_ < 0) return;
    const std::string bytes = line + "\n";
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(in_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        written += static_cast<std::size_t>(n);
    }
}

int TerminalProcess::readSome(int timeoutMs) {
    if (out_ < 0) return -1;
    pollfd p{out_, POLLIN, 0};
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0) return errno == EINTR ? 0 : -1;
    if (ready == 0) return 0;
    char buffer[8192];
    const ssize_t n = ::read(out_, buffer, sizeof buffer);
    if (n > 0) {
        output_.append(buffer, static_cast<std::size_t>(n));
        return 1;
    }
    if (n < 0 && errno == EINTR) return 0;
    ::close(out_);
    out_ = -1;
    return -1;
}

bool TerminalProcess::waitFor(const std::string& text, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        const auto found = output_.find(text, consumed_);
        if (found != std::string::npos) {
            consumed_ = found + text.size();
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        if (readSome(static_cast<int>(std::min<long long>(left.count(), 100))) < 0) {
            const auto last = output_.find(text, consumed_);
            if (last == std::string::npos) return false;
            consumed_ = last + text.size();
            return true;
        }
    }
}

int TerminalProcess::finish(std::chrono::milliseconds deadline) {
    if (in_ >= 0) {
        ::close(in_);
        in_ = -1;
    }
    if (pid_ <= 0) return -1;
    const auto end = std::chrono::steady_clock::now() + deadline;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (std::chrono::steady_clock::now() >= end) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
            if (out_ >= 0) ::close(out_);
            out_ = -1;
            return -1;
        }
        readSome(20);
    }
    pid_ = -1;
    while (readSome(50) > 0) {
    }
    if (out_ >= 0) ::close(out_);
    out_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
