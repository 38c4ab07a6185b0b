#pragma once

// The real program run under a scripted terminal session: the typed lines on
// standard input, a fresh home and data folder under /tmp (removed
// afterwards), what it drew on standard output and traced on standard error,
// and the database it left behind.
//
//   TerminalRun terminal("sale");
//   ASSERT_EQ(terminal.run("f1=1234\nprihlásiť\nq\n"), 0) << terminal.errors();
//   terminal.output() ... terminal.scalar("select count(*) from vety")

#include <filesystem>
#include <string>

class TerminalRun {
public:
    // `tag` names the folder: /tmp/trekora-<tag>-XXXXXX.
    explicit TerminalRun(const std::string& tag);
    ~TerminalRun();
    TerminalRun(const TerminalRun&) = delete;
    TerminalRun& operator=(const TerminalRun&) = delete;

    // Runs the program (with no vehicle Wi-Fi, at most 60 s) on `input`;
    // the shell's exit status, non-zero also when the folder could not be made.
    int run(const std::string& input);

    std::string output() const;
    std::string errors() const;
    // The Documents database of the run.
    std::filesystem::path database() const;
    // The Documents log of the run.
    std::string log() const;
    // The first column of the first row of `sql` on that database, empty when none.
    std::string scalar(const std::string& sql) const;

    std::filesystem::path home;
};
