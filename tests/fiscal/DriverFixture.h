#pragma once

// Shared set-up of the driver tests: a client that records what a driver
// reports, drivers with short time-outs, and the expected byte files.

#include "fakes/FakePrinter.h"
#include "fiscal/Fiskal.h"
#include "platform/Console.h"
#include "platform/MainRunLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

class RecordingClient : public FiskalDelegate {
public:
    void fiskalFinished(Fiskal::Command c, const std::optional<std::string>& error, const std::optional<NetBytes>& data,
                        const std::string& i, const std::string&, const std::string&, const std::string&,
                        Fiskal::Tag t) override {
        ++finished;
        info = i;
        command = c;
        result = error;
        dataSize = data ? data->size() : 0;
        tag = t;
    }
    void fiskalProgress(float p) override { progress.push_back(p); }

    int finished = 0;
    Fiskal::Command command = Fiskal::Command::getStatus;
    std::optional<std::string> result;
    std::size_t dataSize = 0;
    std::string info;
    Fiskal::Tag tag = Fiskal::Tag::testWifi;
    std::vector<float> progress;
};

class DriverTest : public ::testing::Test {
protected:
    template <class Driver>
    std::shared_ptr<Driver> make(std::uint16_t port, const std::string& greeting = kGreeting) {
        auto driver = std::make_shared<Driver>(client, "127.0.0.1", port, greeting);
        driver->connectTimeout = 2.0;
        driver->readTimeout = 0.3;
        driver->writeTimeout = 0.3;
        return driver;
    }

    // Runs the main queue until the run has ended, then a little longer to
    // see that no second completion follows.
    bool runToEnd(int timeoutMs = 5000) {
        bool ended = platform::MainRunLoop::runUntil([this] { return client->finished > 0; },
                                                     std::chrono::milliseconds(timeoutMs));
        platform::MainRunLoop::runFor(std::chrono::milliseconds(100));
        return ended;
    }

    // Runs a fresh driver against a fake in each way of misbehaving; every
    // run must end once, with an error, well within its time-outs.
    template <class MakeDriver>
    void expectEveryMisbehaviourEndsOnce(MakeDriver makeDriver) {
        std::string huge;  // far larger than the socket buffers on both sides
        for (int i = 0; i < 8; ++i) huge += std::string(2u << 20, 'x') + "\n";
        const struct {
            FakePrinter::Mode mode;
            std::string text, result;  // result empty: any error text
        } cases[] = {
            {FakePrinter::Mode::refuse, "riadok", ""},
            {FakePrinter::Mode::silent, "riadok", "Read operation timed out"},
            {FakePrinter::Mode::shortGreeting, "riadok", "Read operation timed out"},
            {FakePrinter::Mode::closeMidway, huge, ""},
            {FakePrinter::Mode::stopReading, huge, "Write operation timed out"},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(static_cast<int>(c.mode));
            client = std::make_shared<RecordingClient>();
            FakePrinter printer(kGreeting, c.mode);
            printer.setCloseAfterBytes(200);
            auto driver = makeDriver(printer.port());
            const auto start = std::chrono::steady_clock::now();
            driver->request(Fiskal::Command::tlacNefiskalnyDoklad, c.text);
            ASSERT_TRUE(runToEnd(10000));
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
            EXPECT_EQ(1, client->finished);
            const std::string result = client->result.value_or("OK");
            EXPECT_NE("OK", result);
            EXPECT_EQ(c.result.empty() ? result : c.result, result);
        }
    }

    static std::string expected(const std::string& name) {
        std::ifstream in(std::string(TREKORA_SOURCE_DIR) + "/tests/fiscal/expected/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static inline const std::string kGreeting = "*_Tlaciaren_OK_*";
    platform::Console::Capture console;
    std::shared_ptr<RecordingClient> client = std::make_shared<RecordingClient>();
};
