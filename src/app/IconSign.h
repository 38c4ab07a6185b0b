#pragma once

#include <string>

// The short text sign the terminal shows for an icon of the screen model:
// a character or two for the icons whose meaning a sign carries (arrows,
// plus, minus, tick, cross, the loyalty crown), nothing for the others.
// Image names of the platform's symbol set are never shown as they are.
class IconSign {
public:
    static std::string forImage(const std::string& name);
};
