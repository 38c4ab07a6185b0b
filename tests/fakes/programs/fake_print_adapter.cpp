// A fake HTTP print adapter to print against by hand: listens on 127.0.0.1,
// takes POST /print and shows each document (CP852 as text, control bytes
// in angle brackets), until it is stopped with Ctrl-C.
//
//   fake_print_adapter [--port N] [--port-file PATH] [--record PATH]
//
// --port-file writes the port it listens on (useful with --port 0, an
// ephemeral port); --record appends each document, shown as on the screen,
// to a text file as well.

#include "fakes/FakePrintAdapter.h"
#include "fakes/ShownBytes.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
}  // namespace

int main(int argc, char** argv) {
    int port = 0;
    std::string portFile;
    std::string record;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--port") {
            port = std::atoi(argv[i + 1]);
        } else if (key == "--port-file") {
            portFile = argv[i + 1];
        } else if (key == "--record") {
            record = argv[i + 1];
        } else {
            std::fprintf(stderr, "unknown option %s\n", key.c_str());
            return 2;
        }
    }
    std::signal(SIGINT, [](int) { stopRequested = 1; });
    std::signal(SIGTERM, [](int) { stopRequested = 1; });

    FakePrintAdapter adapter(port);
    if (adapter.port() <= 0) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("fake print adapter on http://127.0.0.1:%d/print\n", adapter.port());
    std::fflush(stdout);
    if (!portFile.empty()) {
        // Written whole under another name first, so a reader never sees half a number.
        const std::string partial = portFile + ".part";
        std::ofstream(partial) << adapter.port() << "\n";
        std::rename(partial.c_str(), portFile.c_str());
    }
    std::size_t done = 0;
    while (!stopRequested) {
        auto jobs = adapter.jobs();
        for (; done < jobs.size(); ++done) {
            const std::string text = ShownBytes::text(jobs[done].body);
            std::printf("%s\n\n", text.c_str());
            if (!record.empty()) std::ofstream(record, std::ios::app | std::ios::binary) << text << "\n\n";
        }
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return 0;
}
