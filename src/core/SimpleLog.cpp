#include "core/SimpleLog.h"

#include "platform/FileManager.h"
#include "platform/Places.h"

std::string SimpleLog::path() {
    return platform::FileManager::appendingPathComponent(platform::Places::documentsDirectory(), "trekora.log");
}

void SimpleLog::write(const std::string& piece) {
    std::lock_guard<std::mutex> lock(mutex_);
    // A failure drops the piece; the console line stays the only trace.
    platform::FileManager::appendToFile(path(), piece);
}

void SimpleLog::writeLine(const std::string& line) { write(line); }

SimpleLog& sharedSimpleLog() {
    static SimpleLog log;
    return log;
}
