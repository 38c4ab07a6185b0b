#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace platform {

// The platform's diagnostic (system) log: standard error, prefixed with
// "trekora: ". Separate from the console and from the log file.
class DiagnosticLog {
public:
    static void write(const std::string& message);

    // While alive, messages are collected here instead of being written out.
    class Capture {
    public:
        Capture();
        ~Capture();
        Capture(const Capture&) = delete;
        Capture& operator=(const Capture&) = delete;

        std::vector<std::string> messages() const;

    private:
        friend class DiagnosticLog;
        mutable std::mutex mutex_;
        std::vector<std::string> messages_;
        Capture* previous_;
    };
};

}  // namespace platform
