// A fake printer adapter to print against by hand: listens on 127.0.0.1,
// greets each client and shows the bytes it receives (CP852 as text, control
// bytes in angle brackets) until it is stopped with Ctrl-C.
//
//   fake_printer [--port N] [--greeting TEXT] [--mode normal|silent|short|close|stall]
//                [--port-file PATH] [--record PATH]
//
// --port-file writes the port it listens on (useful with the ephemeral port,
// --port 0); --record appends what it receives, shown as on the screen, to a
// text file as well.

#include "fakes/FakePrinter.h"
#include "fakes/ShownBytes.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
}  // namespace

int main(int argc, char** argv) {
    std::uint16_t port = 0;
    std::string greeting = "*_Tlaciaren_OK_*";
    FakePrinter::Mode mode = FakePrinter::Mode::normal;
    std::string portFile;
    std::string record;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--port") {
            port = static_cast<std::uint16_t>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (key == "--greeting") {
            greeting = value;
        } else if (key == "--port-file") {
            portFile = value;
        } else if (key == "--record") {
            record = value;
        } else if (key == "--mode") {
            if (value == "silent") mode = FakePrinter::Mode::silent;
            else if (value == "short") mode = FakePrinter::Mode::shortGreeting;
            else if (value == "close") mode = FakePrinter::Mode::closeMidway;
            else if (value == "stall") mode = FakePrinter::Mode::stopReading;
        } else {
            std::fprintf(stderr, "unknown option %s\n", key.c_str());
            return 2;
        }
    }
    std::signal(SIGINT, [](int) { stopRequested = 1; });
    std::signal(SIGTERM, [](int) { stopRequested = 1; });

    FakePrinter printer(greeting, mode, port);
    if (!printer.ok()) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    static std::mutex recordMutex;
    printer.setOnBytes([record](const std::string& bytes) {
        const std::string text = ShownBytes::text(bytes);
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
        if (!record.empty()) {
            std::lock_guard<std::mutex> lock(recordMutex);
            std::ofstream out(record, std::ios::app | std::ios::binary);
            out << text;
        }
    });
    std::printf("fake printer on 127.0.0.1:%u, greeting \"%s\"\n", printer.port(), greeting.c_str());
    std::fflush(stdout);
    if (!portFile.empty()) {
        // Written whole under another name first, so a reader never sees half a number.
        const std::string partial = portFile + ".part";
        std::ofstream(partial) << printer.port() << "\n";
        std::rename(partial.c_str(), portFile.c_str());
    }
    while (!stopRequested) ::pause();
    return 0;
}
