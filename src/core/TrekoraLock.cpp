#include "core/Trekora.h"

#include "core/StringValue.h"
#include "platform/Clock.h"
#include "platform/DateFormatter.h"
#include "platform/Numbers.h"

std::string Trekora::getSystemChallenge() {
    const std::string time = platform::DateFormatter::format(platform::Clock::now(), "HHmmss");
    const std::int64_t h = integerValue(substring(time, 0, 2));
    const std::int64_t m = integerValue(substring(time, 2, 4));
    const std::int64_t s = integerValue(substring(time, 4, 6));
    const std::int64_t n = h * 3600 + m * 60 + s;
    return platform::format("%14.0f", static_cast<double>(static_cast<float>(n)));
}

bool Trekora::checkSystemPin(const std::string& pin, const std::string& challenge) {
    // A code without a digit (empty, blank, a word) would read as 0, the
    // answer to every challenge that is a multiple of the prime: refused.
    if (pin.find_first_of("0123456789") == std::string::npos) return false;
    const std::int64_t code = integerValue(pin);
    if (code == systemPin) return true;
    const std::int64_t c = integerValue(challenge);
    return c % systemPrvocislo == code;
}
