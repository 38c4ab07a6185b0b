#include "db/SqlLog.h"

#include <mutex>

#include "platform/DiagnosticLog.h"

namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

SqlLog::Sink& currentSink() {
    static SqlLog::Sink sink;
    return sink;
}

}  // namespace

void SqlLog::write(const std::string& line) {
    SqlLog::Sink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex());
        sink = currentSink();
    }
    if (sink) {
        sink(line);
        return;
    }
    platform::DiagnosticLog::write(line);
}

void SqlLog::setSink(Sink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex());
    currentSink() = std::move(sink);
}
