#include "app/Command.h"

#include <cctype>

namespace {

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// A positive number making up the whole text (at most 9 digits, so that
// every row of a list of millions has its number).
bool parseNumber(const std::string& s, int& out) {
    if (s.empty() || s.size() > 9) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    out = std::stoi(s);
    return out > 0;
}

// "<prefix><n>" with nothing after the number.
bool prefixed(const std::string& s, const std::string& prefix, int& n) {
    return s.size() > prefix.size() && s.compare(0, prefix.size(), prefix) == 0 &&
           parseNumber(s.substr(prefix.size()), n);
}

// "<prefix><n>=text"; the text is kept as typed (blanks included).
bool assignment(const std::string& raw, const std::string& prefix, int& n, std::string& text) {
    size_t start = 0;
    while (start < raw.size() && std::isspace(static_cast<unsigned char>(raw[start]))) ++start;
    size_t eq = raw.find('=', start);
    if (eq == std::string::npos) return false;
    std::string head = trim(raw.substr(start, eq - start));
    if (!prefixed(head, prefix, n)) return false;
    text = raw.substr(eq + 1);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return true;
}

}  // namespace

Command Command::parse(const std::string& line) {
    Command c;
    std::string t = trim(line);
    if (t.empty()) return c;
    int n = 0;
    std::string text;
    if (t == "q" || t == "quit") {
        c.kind = Kind::quit;
    } else if (t == "?" || t == "h" || t == "help") {
        c.kind = Kind::help;
    } else if (t == "b" || t == "back") {
        c.kind = Kind::back;
    } else if (t == "+") {
        c.kind = Kind::scrollDown;
    } else if (t == "-") {
        c.kind = Kind::scrollUp;
    } else if (t == "w" || t == "wait") {
        c.kind = Kind::wait;
        c.number = 1;
    } else if (prefixed(t, "w", n)) {
        c.kind = Kind::wait;
        c.number = n;
    } else if (parseNumber(t, n)) {
        c.kind = Kind::row;
        c.number = n;
        c.text = t;
        c.bare = true;
    } else if (prefixed(t, "i", n)) {
        c.kind = Kind::accessory;
        c.number = n;
    } else if (prefixed(t, "sc", n)) {
        c.kind = Kind::scope;
        c.number = n;
    } else if (prefixed(t, "s", n)) {
        c.kind = Kind::toggle;
        c.number = n;
    } else if (assignment(line, "f", n, text)) {
        c.kind = Kind::fill;
        c.number = n;
        c.text = text;
    } else if (assignment(line, "d", n, text)) {
        c.kind = Kind::date;
        c.number = n;
        c.text = trim(text);
    } else if (t == ":wifi" || t.rfind(":wifi ", 0) == 0) {
        c.kind = Kind::wifi;
        c.text = trim(t.substr(5));
    } else if (t[0] == '/') {
        c.kind = Kind::search;
        c.text = t.substr(1);
    } else if (t[0] == '!') {
        c.kind = Kind::tap;
        c.text = trim(t.substr(1));
    } else {
        c.kind = Kind::tap;
        c.text = t;
        c.bare = true;
    }
    return c;
}

std::string Command::helpLine() {
    // Every line fits an 80-column terminal, so that the screen above keeps its room.
    return "commands: <n> row/action | i<n> row info | f<n>=text field | s<n> switch\n"
           "          d<n>=dd.mm.yyyy date | /text search | sc<n> scope | + - scroll\n"
           "          <title> or !<title> button | w wait | b back | q quit | ? help\n"
           "          :wifi NAME network | one field: its value | one button: empty line";
}
