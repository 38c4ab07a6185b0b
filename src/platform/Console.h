#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// The program's console trace (standard error). Every line the system
// "prints" goes through here so that tests can capture it; standard output
// belongs to the terminal front end's screens alone.
class Console {
public:
    // Writes `line` and a line feed (the line may itself hold line feeds).
    static void print(const std::string& line);

    // Where printed lines go when no capture is active (standard error by
    // default).
    static void redirectTo(std::FILE* stream);

    // While alive, lines are collected here instead of being written out.
    class Capture {
    public:
        Capture();
        ~Capture();
        Capture(const Capture&) = delete;
        Capture& operator=(const Capture&) = delete;

        std::vector<std::string> lines() const;
        bool contains(const std::string& line) const;
        void clear();

    private:
        friend class Console;
        mutable std::mutex mutex_;
        std::vector<std::string> lines_;
        Capture* previous_;
    };
};

}  // namespace platform
