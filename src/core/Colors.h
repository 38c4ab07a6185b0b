#pragma once

// Colours of the list screens: the module-wide constants over the platform's
// system colours, three colour constructors and two named palettes.

#include "platform/ui/Color.h"

#include <cstdint>
#include <optional>
#include <string>

// Components 0...255, alpha 1. A component out of range is a caller error:
// throws std::invalid_argument "Invalid red component" (green, blue), the
// first one found in the order red, green, blue.
platform::Color colorFromRGB(std::int64_t red, std::int64_t green, std::int64_t blue);
// 0xRRGGBB; bits above the lowest 24 are ignored.
platform::Color colorFromRgb(std::int64_t rgb);
// "#" and exactly eight characters read as hexadecimal RRGGBBAA (leading
// blanks and "0x" allowed, the longest run of hex digits counts); none for
// any other text or when no digit is there.
std::optional<platform::Color> colorFromHex(const std::string& hex);

// Shared colour constants, each made once on first use.
const platform::Color& colorLabel();
const platform::Color& colorSecondaryLabel();
const platform::Color& colorSecondaryLabel2();
const platform::Color& colorSystemRed();
const platform::Color& colorSystemGreen();
const platform::Color& colorSystemBlue();
const platform::Color& colorSystemYellow();

// Colour texts "#RRGGBBAA".
struct MyColor {
    static constexpr const char* red = "#ED4B35FF";
    static constexpr const char* green = "#25B45CFF";
    static constexpr const char* blue = "#1167B2FF";
    // Red F8, green A1, blue 3F, opaque.
    static constexpr const char* orange = "#F8A13FFF";
};

// The flat palette: 24 opaque colours in seven hue groups.
struct FlatColor {
    struct Green {
        static const platform::Color& Fern();
        static const platform::Color& MountainMeadow();
        static const platform::Color& ChateauGreen();
        static const platform::Color& PersianGreen();
    };
    struct Blue {
        static const platform::Color& PictonBlue();
        static const platform::Color& CuriousBlue();
        static const platform::Color& Mariner();
        static const platform::Color& Denim();
        static const platform::Color& Chambray();
        static const platform::Color& BlueWhale();
    };
    struct Violet {
        static const platform::Color& Wisteria();
        static const platform::Color& BlueGem();
    };
    struct Yellow {
        static const platform::Color& Energy();
        static const platform::Color& Turbo();
    };
    struct Orange {
        static const platform::Color& NeonCarrot();
        static const platform::Color& Sun();
    };
    struct Red {
        static const platform::Color& TerraCotta();
        static const platform::Color& Valencia();
        static const platform::Color& Cinnabar();
        static const platform::Color& WellRead();
    };
    struct Gray {
        static const platform::Color& AlmondFrost();
        static const platform::Color& WhiteSmoke();
        static const platform::Color& Iron();
        static const platform::Color& IronGray();
    };
};
