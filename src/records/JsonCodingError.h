#pragma once

#include <stdexcept>
#include <string>

// The error of the records' JSON coding. Decoding fails as a whole on the
// first missing member or wrong kind; encoding fails on a value that JSON
// cannot carry (a floating value that is not finite, a text that is not
// UTF-8). what() is a readable description that callers put into their
// result strings (for instance after "chyba!,,").
class JsonCodingError : public std::runtime_error {
public:
    enum class Kind {
        dataCorrupted,  // the text is not JSON
        keyNotFound,    // a required member is missing
        valueNotFound,  // a required member is null
        typeMismatch,   // a member holds another JSON kind
        invalidValue,   // a value cannot be encoded
    };

    JsonCodingError(Kind kind, std::string path, const std::string& message);

    Kind kind() const { return kind_; }
    // Where the failure lies: "[0].MNOZ", "POLOZKY[1].CDOK"; empty at the top.
    const std::string& path() const { return path_; }

private:
    Kind kind_;
    std::string path_;
};
