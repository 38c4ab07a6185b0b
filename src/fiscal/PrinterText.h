#pragma once

#include <string>

// Printer bytes of a text row. The printers are set to code table 18
// (DOS Latin 2), so a row goes out in CP852: control bytes and ASCII stay as
// they are, Slovak letters take their code-page bytes, a letter the code
// page lacks is printed as its base letter, anything else as "?". Nothing is
// ever dropped.
class PrinterText {
public:
    static std::string cp852(const std::string& utf8);
    // The set-up bytes that select code table 18: ESC t 0x12.
    static std::string selectCodeTable();
    // The text with the escape markers written into it ("ESCb", "ESCk",
    // "ESCe", "ESCv", "ESCV", then any other "ESC") replaced by their bytes.
    static std::string withEscapes(const std::string& text);
};
