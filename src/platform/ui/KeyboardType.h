#pragma once

#include <string>

namespace platform {

// The keyboard kinds, numbered as the platform numbers them. A keyboard decides
// which characters a person can type at all.
enum class KeyboardType {
    defaultType = 0,
    asciiCapable = 1,
    numbersAndPunctuation = 2,
    url = 3,
    numberPad = 4,
    phonePad = 5,
    namePhonePad = 6,
    emailAddress = 7,
    decimalPad = 8,
    twitter = 9,
    webSearch = 10,
    asciiCapableNumberPad = 11,
};

// Whether one character (a UTF-8 sequence) can be typed on the keyboard.
bool keyboardAllows(KeyboardType keyboard, const std::string& character);
// A short name for front ends ("number pad", ...).
std::string keyboardName(KeyboardType keyboard);
// What the keyboard types, for front ends ("digits only", ...); empty for the
// keyboards that type any text.
std::string keyboardTakes(KeyboardType keyboard);

}  // namespace platform
