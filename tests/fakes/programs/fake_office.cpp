// The office double to synchronise against by hand: listens on 127.0.0.1
// (HTTP), takes uploads, offers the day's data update, serves a database
// copy for a restore, holds an order for delivery prepared for the demo
// centre and takes the orders sent to it, until it is stopped with Ctrl-C.
//
//   fake_office [--port N] [--port-file PATH] [--out DIR] [--no-update]
//               [--backup FILE]
//
// The copy for a restore (/trekora_data/trekora.db3) is the database FILE
// when given, else that of the backup archive received whose database holds
// the highest document number (the later of two equal ones): a backup of
// the shipped database, sent after a damaged one was set aside, never takes
// the place of the day's.
//
// --port N listens on that port (8080 is where the shipped database's
// settings point), else on an ephemeral one; --port-file writes the port it
// listens on; --out keeps each uploaded file
// there under its own name (a later file of the same name gets a number) and
// each order sent to it as "order_<number>.json". The order endpoints are
// /trekora_data/objednavky_export.php and /trekora_data/objednavky_import.php,
// and /trekora_data/objednavky.php for both.

#include "fakes/FakeOffice.h"
#include "fakes/FakeOrderOffice.h"
#include "fakes/OfficeDay.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

// The plain file name of an upload; nothing that could leave the folder.
std::string safeName(const std::string& name) {
    std::string base = std::filesystem::path(name).filename().string();
    if (base.empty() || base == "." || base == "..") base = "upload";
    return base;
}

void keep(const std::filesystem::path& folder, const std::string& fileName, const std::string& bytes) {
    const std::string name = safeName(fileName);
    std::filesystem::path target = folder / name;
    for (int n = 2; std::filesystem::exists(target); ++n) target = folder / (name + "." + std::to_string(n));
    std::ofstream(target, std::ios::binary) << bytes;
    std::printf("received %s (%zu bytes)\n", target.filename().c_str(), bytes.size());
    std::fflush(stdout);
}

std::string orderNumber(const nlohmann::json& order) {
    if (!order.contains("CDOK")) return "unnumbered";
    return order["CDOK"].is_string() ? order["CDOK"].get<std::string>() : order["CDOK"].dump();
}

}  // namespace

int main(int argc, char** argv) {
    int port = 0;
    std::string portFile;
    std::string out;
    bool update = true;
    std::string backup;
    for (int i = 1; i < argc; ++i) {
        const std::string key = argv[i];
        if (key == "--no-update") {
            update = false;
        } else if (i + 1 < argc && key == "--port") {
            port = std::atoi(argv[++i]);
        } else if (i + 1 < argc && key == "--port-file") {
            portFile = argv[++i];
        } else if (i + 1 < argc && key == "--out") {
            out = argv[++i];
        } else if (i + 1 < argc && key == "--backup") {
            backup = argv[++i];
        } else {
            std::fprintf(stderr, "unknown option %s\n", key.c_str());
            return 2;
        }
    }
    std::signal(SIGINT, [](int) { stopRequested = 1; });
    std::signal(SIGTERM, [](int) { stopRequested = 1; });

    FakeOffice office(FakeOffice::Scheme::http, port);
    if (office.port() <= 0) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    if (update) office.setUpdateFile(OfficeDay::updateFile(), OfficeDay::lastModified);
    if (!backup.empty()) {
        std::ifstream file(backup, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!file || bytes.empty()) {
            std::fprintf(stderr, "cannot read %s\n", backup.c_str());
            return 2;
        }
        office.setBackupDatabase(bytes);
    }
    FakeOrderOffice desk(office);
    desk.prepare(OfficeDay::preparedOrder());
    desk.onUpdate([](const std::string& cdok) {
        std::printf("order %s delivered\n", cdok.c_str());
        std::fflush(stdout);
    });
    if (!out.empty()) std::filesystem::create_directories(out);
    std::printf("office double on %s\n", office.url().c_str());
    std::fflush(stdout);
    if (!portFile.empty()) {
        const std::string partial = portFile + ".part";
        std::ofstream(partial) << office.port() << "\n";
        std::rename(partial.c_str(), portFile.c_str());
    }

    std::size_t kept = 0;
    std::size_t keptOrders = 0;
    while (!stopRequested) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (out.empty()) continue;
        const auto uploads = office.uploads();
        for (; kept < uploads.size(); ++kept) keep(out, uploads[kept].fileName, uploads[kept].bytes);
        const auto orders = desk.exportedOrders();
        for (; keptOrders < orders.size(); ++keptOrders)
            keep(out, "order_" + orderNumber(orders[keptOrders]) + ".json", orders[keptOrders].dump(2) + "\n");
    }
    return 0;
}
