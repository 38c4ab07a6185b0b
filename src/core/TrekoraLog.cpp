#include "core/Trekora.h"

#include "core/SimpleLog.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DateFormatter.h"

#include <mutex>

void Trekora::log(const std::string& text) {
    const std::string stamp = platform::DateFormatter::format(platform::Clock::now(), "yyyy-MM-dd HH:mm:ss");
    const std::string line = stamp + " " + text;
    // One lock over the console line and the file append, and the whole line
    // in one append: lines of concurrent callers never interleave, and the
    // file holds them in the same order as the console.
    static std::mutex order;
    std::lock_guard<std::mutex> lock(order);
    platform::Console::print(line);
    sharedSimpleLog().writeLine(line + "\n");
}
