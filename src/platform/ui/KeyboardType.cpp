#include "platform/ui/KeyboardType.h"

namespace platform {

namespace {
bool isDigit(const std::string& c) { return c.size() == 1 && c[0] >= '0' && c[0] <= '9'; }
bool isAscii(const std::string& c) { return c.size() == 1 && static_cast<unsigned char>(c[0]) < 0x80; }
bool isPrintableAscii(const std::string& c) { return c.size() == 1 && c[0] >= 0x20 && c[0] < 0x7F; }
}  // namespace

bool keyboardAllows(KeyboardType keyboard, const std::string& c) {
    if (c.empty()) return false;
    switch (keyboard) {
        case KeyboardType::numberPad:
        case KeyboardType::asciiCapableNumberPad:
            return isDigit(c);
        case KeyboardType::decimalPad:
            // The Slovak pad shows ","; "." is accepted as well for typing on
            // other keyboards.
            return isDigit(c) || c == "," || c == ".";
        case KeyboardType::phonePad:
            return isDigit(c) || c == "+" || c == "*" || c == "#" || c == "," || c == ";";
        case KeyboardType::numbersAndPunctuation:
        case KeyboardType::asciiCapable:
        case KeyboardType::url:
        case KeyboardType::emailAddress:
            return isPrintableAscii(c) || (!isAscii(c) && keyboard != KeyboardType::asciiCapable);
        case KeyboardType::namePhonePad:
        case KeyboardType::defaultType:
        case KeyboardType::twitter:
        case KeyboardType::webSearch:
            return c != "\n" && c != "\r";
    }
    return true;
}

std::string keyboardName(KeyboardType keyboard) {
    switch (keyboard) {
        case KeyboardType::numberPad: return "number pad";
        case KeyboardType::asciiCapableNumberPad: return "number pad";
        case KeyboardType::decimalPad: return "decimal pad";
        case KeyboardType::phonePad: return "phone pad";
        case KeyboardType::numbersAndPunctuation: return "numbers";
        case KeyboardType::emailAddress: return "e-mail";
        case KeyboardType::url: return "url";
        default: return "text";
    }
}

std::string keyboardTakes(KeyboardType keyboard) {
    switch (keyboard) {
        case KeyboardType::numberPad:
        case KeyboardType::asciiCapableNumberPad: return "digits only";
        case KeyboardType::decimalPad: return "digits and a decimal point only";
        case KeyboardType::phonePad: return "digits and + * # , ; only";
        case KeyboardType::asciiCapable: return "ASCII characters only";
        default: return {};
    }
}

}  // namespace platform
