#pragma once

#include <functional>
#include <string>

// Diagnostic log of the database layer. Lines go to the platform's
// diagnostic log (standard error) unless another sink is installed (tests install one to capture them, the program may
// install one to silence them).
class SqlLog {
public:
    using Sink = std::function<void(const std::string&)>;

    static void write(const std::string& line);
    // Installs a sink; an empty function restores the default.
    static void setSink(Sink sink);
};
