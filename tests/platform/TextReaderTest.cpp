#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "LocalServer.h"
#include "TempFolder.h"
#include "platform/TextReader.h"
#include "platform/Url.h"

using namespace platform;
using namespace std::chrono_literals;

TEST(TextReader, ReadsFilesByPathAndFileUrl) {
    TempFolder dir;
    std::string path = dir.file("merchant č.json");
    ASSERT_TRUE(FileManager::writeFile(path, "{\"meno\":\"Ján Kováč\"}"));
    EXPECT_EQ(TextReader::read(path), "{\"meno\":\"Ján Kováč\"}");
    EXPECT_EQ(TextReader::read(Url::fileUrl(path).absoluteString()), "{\"meno\":\"Ján Kováč\"}");

    ASSERT_TRUE(FileManager::writeFile(dir.file("empty.json"), ""));
    EXPECT_EQ(TextReader::read(dir.file("empty.json")), "");

    Error error;
    EXPECT_FALSE(TextReader::read(dir.file("missing.json"), 1s, &error));
    EXPECT_FALSE(error.localizedDescription().empty());
    ASSERT_TRUE(FileManager::writeFile(dir.file("latin2.txt"), "\x9f"));
    EXPECT_FALSE(TextReader::read(dir.file("latin2.txt")));
    EXPECT_FALSE(TextReader::read("not a url"));
    EXPECT_FALSE(TextReader::read(""));
    EXPECT_FALSE(TextReader::read("ftp://127.0.0.1/x"));
}

TEST(TextReader, ReadsWebAddresses) {
    LocalServer local;
    local.server.Get("/merchant.json", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("{\"predajca\":\"Šimon\"}", "application/json");
    });
    Gate gate;
    local.server.Get("/slow", [&gate](const httplib::Request&, httplib::Response& res) {
        gate.wait();
        res.set_content("late", "text/plain");
    });
    local.start();

    EXPECT_EQ(TextReader::read(local.url("/merchant.json"), 2s), "{\"predajca\":\"Šimon\"}");
    Error error;
    EXPECT_FALSE(TextReader::read(local.url("/none"), 2s, &error));
    EXPECT_EQ(error.code(), 404);

    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(TextReader::read(local.url("/slow"), 200ms, &error));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);  // far below the standard 60 s
    EXPECT_EQ(error.code(), -1001);
    gate.open();

    EXPECT_FALSE(TextReader::read("http://127.0.0.1:" + std::to_string(unusedLocalPort()) + "/x", 2s));
}
