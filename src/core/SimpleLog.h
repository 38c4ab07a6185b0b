#pragma once

#include <mutex>
#include <string>

// The text stream behind the log file: every write appends to "trekora.log"
// in the Documents folder, creating the file when it is missing.
class SimpleLog {
public:
    // Appends one piece of text.
    void write(const std::string& piece);
    // Appends one whole line in a single append, under the stream's lock, so
    // that lines written from several threads never interleave.
    void writeLine(const std::string& line);

    // Path of the log file (Documents folder + "trekora.log").
    static std::string path();

private:
    std::mutex mutex_;
};

// The one shared stream, created on first use.
SimpleLog& sharedSimpleLog();
