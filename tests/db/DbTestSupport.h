#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "db/SqlLog.h"

// A fresh temporary folder per test and a capture of the layer's log lines.
class DbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() /
              ("trekora-db-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(dir);
        SqlLog::setSink([this](const std::string& line) {
            std::lock_guard<std::mutex> lock(logMutex);
            logLines.push_back(line);
        });
    }
    void TearDown() override {
        SqlLog::setSink(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::vector<std::string> log() {
        std::lock_guard<std::mutex> lock(logMutex);
        return logLines;
    }
    int logCount(const std::string& line) {
        auto l = log();
        return static_cast<int>(std::count(l.begin(), l.end(), line));
    }
    bool logContains(const std::string& part) {
        for (const auto& l : log())
            if (l.find(part) != std::string::npos) return true;
        return false;
    }
    void clearLog() {
        std::lock_guard<std::mutex> lock(logMutex);
        logLines.clear();
    }

    std::filesystem::path dir;
    std::mutex logMutex;
    std::vector<std::string> logLines;
};
