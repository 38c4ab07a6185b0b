#pragma once

#include <string>

// Turns an HTML page into readable plain text for the terminal: tags are
// dropped, <br>, <p>, <div>, <tr>, <li>, headings and tables break lines,
// table cells are separated by two blanks, <pre> keeps its layout, and
// character references are decoded.
class HtmlText {
public:
    static std::string toText(const std::string& html);
    // Decodes "&amp;", "&#233;", "&#xE9;", ... (unknown references stay as written).
    static std::string decodeEntities(const std::string& text);
};
