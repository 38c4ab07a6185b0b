// A fake fiscal service to print against by hand: listens on 127.0.0.1,
// registers the receipts and cash documents it is sent and shows every
// request, until it is stopped with Ctrl-C.
//
//   fake_fiscal_service [--port N] [--sequence FIRST]

#include "fakes/FakeFiscalService.h"
#include "platform/Date.h"
#include "platform/DateFormatter.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {
volatile std::sig_atomic_t stopRequested = 0;
}

int main(int argc, char** argv) {
    int port = 0;
    long long sequence = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--port") {
            port = std::atoi(value.c_str());
        } else if (key == "--sequence") {
            sequence = std::atoll(value.c_str());
        } else {
            std::fprintf(stderr, "unknown option %s\n", key.c_str());
            return 2;
        }
    }
    std::signal(SIGINT, [](int) { stopRequested = 1; });
    std::signal(SIGTERM, [](int) { stopRequested = 1; });

    FakeFiscalService service(port);
    if (service.port() <= 0) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    service.setNextSequenceId(sequence);
    service.setDate(platform::DateFormatter::format(platform::Date::now(), "dd.MM.yyyy HH:mm:ss"));
    std::printf("fake fiscal service on http://127.0.0.1:%d/api\n", service.port());
    std::fflush(stdout);
    std::size_t shown = 0;
    while (!stopRequested) {
        auto requests = service.requests();
        for (; shown < requests.size(); ++shown)
            std::printf("POST %s\n%s\n\n", requests[shown].path.c_str(), requests[shown].body.c_str());
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return 0;
}
