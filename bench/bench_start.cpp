// Application start as the user waits for it: from starting the `trekora`
// program on a prepared Documents folder, with input that quits at once,
// until its first screen is on its standard output; against starting an
// empty program linked with the same libraries until it has ended. The two
// run interleaved. The wall time after the first screen (the program
// quitting) is left out; the CPU time is the whole program's.
#include "RatioReporter.h"
#include "platform/FileManager.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

const std::string kBuild = TREKORA_BINARY_DIR;

// Starts `program` with standard input from /dev/null, standard error thrown
// away and `environment` added; answers its id and the reading end of its
// standard output.
pid_t start(const std::string& program, const std::vector<std::string>& environment, int& output) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> variables = environment;
    for (char** e = environ; e && *e; ++e) variables.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        throw std::runtime_error("cannot start " + program);
    }
    output = pipeFds[0];
    return pid;
}

// Reads the child's output until it ends with `prompt` (or, with an empty
// prompt, until it ends); answers what was read.
std::string readUntil(int fd, const std::string& prompt) {
    std::string text;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (!prompt.empty() && text.size() >= prompt.size() &&
            text.compare(text.size() - prompt.size(), prompt.size(), prompt) == 0)
            break;
    }
    return text;
}

// Reads the rest of the child's output and waits for its end.
void reap(pid_t pid, int fd) {
    readUntil(fd, "");
    ::close(fd);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("the program did not end well");
}

class TrekoraStart {
public:
    TrekoraStart() {
        data_ = platform::FileManager::makeTemporaryDirectory("trekora-bench-start");
        // The first start copies the database into the Documents folder;
        // every measured start finds it there.
        run();
    }
    ~TrekoraStart() { platform::FileManager::removeItem(data_); }

    void run() {
        int out = -1;
        const pid_t pid = start(kBuild + "/trekora", {"XDG_DATA_HOME=" + data_}, out);
        // The first screen is drawn, then the prompt for the first command.
        const std::string screen = readUntil(out, "> ");
        bench::Untimed quitting(bench::Untimed::Clocks::WallOnly);
        reap(pid, out);
        if (screen.find("> ") == std::string::npos) throw std::runtime_error("no first screen");
    }

private:
    std::string data_;
};

void emptyProgram() {
    int out = -1;
    const pid_t pid = start(kBuild + "/bench/empty_program", {}, out);
    reap(pid, out);
}

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter::readArguments(argc, argv);
    TrekoraStart trekora;
    const bool ok = bench::RatioReporter::compare(
        "start to the first screen: trekora / an empty program with the same libraries", [&trekora] { trekora.run(); },
        emptyProgram, {.rounds = 21, .batchSeconds = 0.1, .throughput = false, .goal = "goal at most 1.3x"});
    return ok ? 0 : 1;
}
