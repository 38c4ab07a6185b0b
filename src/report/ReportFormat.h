#pragma once

#include <cstdint>
#include <string>

// A printf-style format of a report definition, checked once: it must hold
// exactly one conversion of the kinds a report knows (%s for a text, %f for
// a real number, %i or %d for a whole number), with bounded width and
// precision; "%%" is a literal percent sign. A format that fails the check
// is not usable and the value is then printed as plain text.
//
// Texts are padded and cut by characters, not bytes, so Slovak letters keep
// the columns straight and are never split. Whole numbers are 64-bit.
class ReportFormat {
public:
    enum class Kind { unusable, text, real, integer };

    static constexpr int kMaxWidth = 256;
    static constexpr int kMaxPrecision = 64;

    ReportFormat() = default;
    explicit ReportFormat(const std::string& format);

    Kind kind() const { return kind_; }
    bool usable() const { return kind_ != Kind::unusable; }

    // Columns a text takes on the page: its user-perceived characters.
    static std::int64_t columns(const std::string& text);

    // The formatted value; only meaningful for the format's own kind.
    std::string text(const std::string& value) const;
    std::string real(double value) const;
    std::string integer(std::int64_t value) const;

private:
    bool check(const std::string& format);

    Kind kind_ = Kind::unusable;
    std::string prefix_;
    std::string suffix_;
    std::string conversion_;  // the C conversion built from the checked parts
    bool leftAlign_ = false;
    int width_ = -1;
    int precision_ = -1;
};
