#include "core/Colors.h"

#include <cctype>
#include <stdexcept>

platform::Color colorFromRGB(std::int64_t red, std::int64_t green, std::int64_t blue) {
    if (red < 0 || red > 255) throw std::invalid_argument("Invalid red component");
    if (green < 0 || green > 255) throw std::invalid_argument("Invalid green component");
    if (blue < 0 || blue > 255) throw std::invalid_argument("Invalid blue component");
    return platform::Color(static_cast<double>(red) / 255.0, static_cast<double>(green) / 255.0,
                           static_cast<double>(blue) / 255.0, 1.0);
}

platform::Color colorFromRgb(std::int64_t rgb) { return colorFromRGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

std::optional<platform::Color> colorFromHex(const std::string& hex) {
    if (hex.empty() || hex[0] != '#') return std::nullopt;
    const std::string rest = hex.substr(1);
    if (rest.size() != 8) return std::nullopt;
    std::size_t i = 0;
    while (i < rest.size() && std::isspace(static_cast<unsigned char>(rest[i]))) ++i;
    if (i + 2 < rest.size() && rest[i] == '0' && (rest[i + 1] == 'x' || rest[i + 1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(rest[i + 2])))
        i += 2;
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; i < rest.size() && std::isxdigit(static_cast<unsigned char>(rest[i])); ++i, ++digits) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(rest[i])));
        value = value * 16 + static_cast<std::uint64_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    if (digits == 0) return std::nullopt;
    return platform::Color(static_cast<double>((value >> 24) & 0xFF) / 255.0,
                           static_cast<double>((value >> 16) & 0xFF) / 255.0,
                           static_cast<double>((value >> 8) & 0xFF) / 255.0, static_cast<double>(value & 0xFF) / 255.0);
}

const platform::Color& colorLabel() { static const platform::Color c = platform::Color::label(); return c; }
const platform::Color& colorSecondaryLabel() { static const platform::Color c = platform::Color::secondaryLabel(); return c; }
const platform::Color& colorSecondaryLabel2() { static const platform::Color c = platform::Color::secondaryLabel(); return c; }
const platform::Color& colorSystemRed() { static const platform::Color c = platform::Color::systemRed(); return c; }
const platform::Color& colorSystemGreen() { static const platform::Color c = platform::Color::systemGreen(); return c; }
const platform::Color& colorSystemBlue() { static const platform::Color c = platform::Color::systemBlue(); return c; }
const platform::Color& colorSystemYellow() { static const platform::Color c = platform::Color::systemYellow(); return c; }

#define FLAT(group, member, value)                                                                                  \
    const platform::Color& FlatColor::group::member() {                                                            \
        static const platform::Color c = colorFromRgb(value);                                                      \
        return c;                                                                                                  \
    }

FLAT(Green, Fern, 0x6ABB72)
FLAT(Green, MountainMeadow, 0x3ABB9D)
FLAT(Green, ChateauGreen, 0x4DA664)
FLAT(Green, PersianGreen, 0x2CA786)
FLAT(Blue, PictonBlue, 0x5CADCF)
FLAT(Blue, CuriousBlue, 0x3585C5)
FLAT(Blue, Mariner, 0x4590B6)
FLAT(Blue, Denim, 0x2F6CAD)
FLAT(Blue, Chambray, 0x485675)
FLAT(Blue, BlueWhale, 0x29334D)
FLAT(Violet, Wisteria, 0x9069B5)
FLAT(Violet, BlueGem, 0x533D7F)
FLAT(Yellow, Energy, 0xF2D46F)
FLAT(Yellow, Turbo, 0xF7C23E)
FLAT(Orange, NeonCarrot, 0xF79E3D)
FLAT(Orange, Sun, 0xEE7841)
FLAT(Red, TerraCotta, 0xE66B5B)
FLAT(Red, Valencia, 0xCC4846)
FLAT(Red, Cinnabar, 0xDC5047)
FLAT(Red, WellRead, 0xB33234)
FLAT(Gray, AlmondFrost, 0xA28F85)
FLAT(Gray, WhiteSmoke, 0xEFEFEF)
FLAT(Gray, Iron, 0xD1D5D8)
FLAT(Gray, IronGray, 0x75706B)

#undef FLAT
