#pragma once

#include <string>

// Receives what the reading side of ZipPacker has to tell: error texts and
// questions whether an existing file may be overwritten.
class ZipPackerDelegate {
public:
    virtual ~ZipPackerDelegate() = default;
    virtual void zipError(const std::string& /*message*/) {}
    // True when the existing file at `path` may be replaced.
    virtual bool zipShouldOverwrite(const std::string& /*path*/) { return true; }
};
