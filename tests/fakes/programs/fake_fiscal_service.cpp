// A fake fiscal service to print against by hand: listens on 127.0.0.1,
// registers the receipts and cash documents it is sent and shows every
// request, until it is stopped with Ctrl-C.
//
//   fake_fiscal_service [--port N] [--sequence FIRST] [--port-file PATH] [--record PATH]
//
// --port-file writes the port it listens on (useful with --port 0, an
// ephemeral port); --record appends each request to a text file as well.

#include "fakes/FakeFiscalService.h"
#include "platform/Date.h"
#include "platform/DateFormatter.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {
volatile std::sig_atomic_t stopRequested = 0;
}

int main(int argc, char** argv) {
    int port = 0;
    long long sequence = 1;
    std::string portFile;
    std::string record;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--port") {
            port = std::atoi(value.c_str());
        } else if (key == "--sequence") {
            sequence = std::atoll(value.c_str());
        } else if (key == "--port-file") {
            portFile = value;
        } else if (key == "--record") {
            record = value;
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
    if (!portFile.empty()) {
        // Written whole under another name first, so a reader never sees half a number.
        const std::string partial = portFile + ".part";
        std::ofstream(partial) << service.port() << "\n";
        std::rename(partial.c_str(), portFile.c_str());
    }
    std::size_t shown = 0;
    while (!stopRequested) {
        auto requests = service.requests();
        for (; shown < requests.size(); ++shown) {
            const std::string text = "POST " + requests[shown].path + "\n" + requests[shown].body + "\n\n";
            std::fputs(text.c_str(), stdout);
            if (!record.empty()) std::ofstream(record, std::ios::app | std::ios::binary) << text;
        }
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return 0;
}
