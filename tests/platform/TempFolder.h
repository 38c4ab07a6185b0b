#pragma once

#include <string>

#include "platform/FileManager.h"

// A fresh temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() : path_(platform::FileManager::makeTemporaryDirectory("trekora-test")) {}
    ~TempFolder() { platform::FileManager::removeItem(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
