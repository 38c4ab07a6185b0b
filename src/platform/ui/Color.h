#pragma once

#include <cstdint>
#include <string>

namespace platform {

// An RGBA colour with components from 0 to 1. System colours carry a name so
// that a front end can render them in its own palette.
class Color {
public:
    Color() = default;
    Color(double red, double green, double blue, double alpha = 1.0, std::string name = {});

    static Color fromRGBA255(int red, int green, int blue, double alpha = 1.0);

    double red() const { return red_; }
    double green() const { return green_; }
    double blue() const { return blue_; }
    double alpha() const { return alpha_; }
    // "systemRed", "label", ... for system colours; empty for plain RGBA.
    const std::string& name() const { return name_; }

    static Color label();
    static Color secondaryLabel();
    static Color systemRed();
    static Color systemGreen();
    static Color systemBlue();
    static Color systemYellow();
    static Color systemOrange();
    static Color systemGray();
    static Color black();
    static Color white();
    static Color clear();

    bool operator==(const Color& other) const;

private:
    double red_ = 0, green_ = 0, blue_ = 0, alpha_ = 1;
    std::string name_;
};

}  // namespace platform
