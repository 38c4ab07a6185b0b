#include "app/HtmlText.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

const std::map<std::string, uint32_t>& namedEntities() {
    static const std::map<std::string, uint32_t> names = {
        {"amp", '&'},     {"lt", '<'},      {"gt", '>'},      {"quot", '"'},    {"apos", '\''},
        {"nbsp", 0xA0},   {"euro", 0x20AC}, {"copy", 0xA9},   {"reg", 0xAE},    {"deg", 0xB0},
        {"ndash", 0x2013}, {"mdash", 0x2014}, {"hellip", 0x2026}, {"times", 0xD7}, {"middot", 0xB7},
        {"laquo", 0xAB},  {"raquo", 0xBB},  {"bdquo", 0x201E}, {"ldquo", 0x201C}, {"rdquo", 0x201D},
    };
    return names;
}

// Block-level tags that end a line.
bool breaksLine(const std::string& name) {
    static const char* tags[] = {"br", "p", "div", "tr", "li", "ul", "ol", "table", "h1", "h2", "h3",
                                 "h4", "h5", "h6", "hr", "pre", "title", "body", "dl", "dt", "dd"};
    for (auto t : tags)
        if (name == t) return true;
    return false;
}

}  // namespace

std::string HtmlText::decodeEntities(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        size_t semi = text.find(';', i + 1);
        if (semi == std::string::npos || semi - i > 12) {
            out += text[i++];
            continue;
        }
        std::string name = text.substr(i + 1, semi - i - 1);
        bool done = false;
        if (!name.empty() && name[0] == '#') {
            bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
            std::string digits = name.substr(hex ? 2 : 1);
            bool valid = !digits.empty() && std::all_of(digits.begin(), digits.end(), [hex](unsigned char c) {
                return hex ? std::isxdigit(c) != 0 : std::isdigit(c) != 0;
            });
            if (valid) {
                appendUtf8(out, static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10)));
                done = true;
            }
        } else {
            auto found = namedEntities().find(name);
            if (found != namedEntities().end()) {
                appendUtf8(out, found->second);
                done = true;
            }
        }
        if (done) {
            i = semi + 1;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string HtmlText::toText(const std::string& html) {
    std::string out;
    int pre = 0;
    bool pendingSpace = false;
    auto newline = [&] {
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += '\n';
        pendingSpace = false;
    };
    auto appendText = [&](const std::string& raw) {
        std::string text = decodeEntities(raw);
        for (char c : text) {
            if (pre > 0) {
                out += c;
                continue;
            }
            if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
                pendingSpace = true;
                continue;
            }
            if (pendingSpace && !out.empty() && out.back() != '\n') out += ' ';
            pendingSpace = false;
            out += c;
        }
    };

    size_t i = 0;
    while (i < html.size()) {
        size_t lt = html.find('<', i);
        appendText(html.substr(i, lt == std::string::npos ? std::string::npos : lt - i));
        if (lt == std::string::npos) break;
        if (html.compare(lt, 4, "<!--") == 0) {
            size_t end = html.find("-->", lt + 4);
            i = end == std::string::npos ? html.size() : end + 3;
            continue;
        }
        size_t gt = html.find('>', lt + 1);
        if (gt == std::string::npos) {
            appendText(html.substr(lt));
            break;
        }
        std::string tag = html.substr(lt + 1, gt - lt - 1);
        bool closing = !tag.empty() && tag[0] == '/';
        size_t start = closing ? 1 : 0;
        size_t end = start;
        while (end < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[end])) || tag[end] == '!')) ++end;
        std::string name = lower(tag.substr(start, end - start));
        i = gt + 1;

        if (!closing && (name == "script" || name == "style" || name == "head")) {
            size_t close = lower(html).find("</" + name, i);
            if (close == std::string::npos) break;
            size_t closeEnd = html.find('>', close);
            i = closeEnd == std::string::npos ? html.size() : closeEnd + 1;
            continue;
        }
        if (name == "pre") {
            if (!closing) {
                if (!out.empty() && out.back() != '\n') newline();
                ++pre;
                // A line feed right after <pre> is not part of the content.
                if (i < html.size() && html[i] == '\n') ++i;
            } else {
                pre = std::max(0, pre - 1);
                if (!out.empty() && out.back() != '\n') newline();
            }
            continue;
        }
        if (name == "td" || name == "th") {
            if (!closing && !out.empty() && out.back() != '\n') {
                while (!out.empty() && out.back() == ' ') out.pop_back();
                out += "  ";
            }
            pendingSpace = false;
            continue;
        }
        if (breaksLine(name)) {
            if (name == "br" || !out.empty()) {
                if (name == "br" || out.back() != '\n') newline();
            }
            if (name == "hr") out += "----------\n";
        }
    }

    // Trailing blanks of each line; no more than one empty line in a row.
    std::string result;
    int newlines = 0;
    for (char c : out) {
        if (c == '\n') {
            while (!result.empty() && result.back() == ' ') result.pop_back();
            if (++newlines > 2) continue;
        } else {
            newlines = 0;
        }
        result += c;
    }
    while (!result.empty() && (result.back() == '\n' || result.back() == ' ')) result.pop_back();
    while (!result.empty() && result.front() == '\n') result.erase(result.begin());
    return result;
}
