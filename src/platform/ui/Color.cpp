#include "platform/ui/Color.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {
double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
}  // namespace

Color::Color(double red, double green, double blue, double alpha, std::string name)
    : red_(clamp01(red)), green_(clamp01(green)), blue_(clamp01(blue)), alpha_(clamp01(alpha)),
      name_(std::move(name)) {}

Color Color::fromRGBA255(int red, int green, int blue, double alpha) {
    return Color(red / 255.0, green / 255.0, blue / 255.0, alpha);
}

Color Color::label() { return Color(0, 0, 0, 1, "label"); }
Color Color::secondaryLabel() { return Color(60 / 255.0, 60 / 255.0, 67 / 255.0, 0.6, "secondaryLabel"); }
Color Color::systemRed() { return Color(1, 59 / 255.0, 48 / 255.0, 1, "systemRed"); }
Color Color::systemGreen() { return Color(52 / 255.0, 199 / 255.0, 89 / 255.0, 1, "systemGreen"); }
Color Color::systemBlue() { return Color(0, 122 / 255.0, 1, 1, "systemBlue"); }
Color Color::systemYellow() { return Color(1, 204 / 255.0, 0, 1, "systemYellow"); }
Color Color::systemOrange() { return Color(1, 149 / 255.0, 0, 1, "systemOrange"); }
Color Color::systemGray() { return Color(142 / 255.0, 142 / 255.0, 147 / 255.0, 1, "systemGray"); }
Color Color::black() { return Color(0, 0, 0, 1, "black"); }
Color Color::white() { return Color(1, 1, 1, 1, "white"); }
Color Color::clear() { return Color(0, 0, 0, 0, "clear"); }

bool Color::operator==(const Color& other) const {
    return red_ == other.red_ && green_ == other.green_ && blue_ == other.blue_ &&
           alpha_ == other.alpha_ && name_ == other.name_;
}

}  // namespace platform
