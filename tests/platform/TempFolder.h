#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/FileManager.h"

// A fresh temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    // Made plainly, without the lock file of a job's work folder.
    TempFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "trekora-test-XXXXXX").string();
        if (::mkdtemp(name.data())) path_ = name;
    }
    ~TempFolder() { platform::FileManager::removeItem(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
