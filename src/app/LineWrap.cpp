#include "app/LineWrap.h"

#include <cctype>
#include <cstddef>
#include <vector>

#include "platform/ui/Utf8Text.h"

namespace {

// One character of a line, or one colour sequence ("\x1b[...m"), which
// takes no room.
struct Piece {
    std::string bytes;
    bool colour = false;
    bool space() const { return !colour && bytes == " "; }
};

std::vector<Piece> piecesOf(const std::string& line) {
    const auto characters = platform::Utf8Text::characters(line);
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (characters[i] == "\x1b" && i + 1 < characters.size() && characters[i + 1] == "[") {
            Piece sequence{"\x1b[", true};
            for (i += 2; i < characters.size(); ++i) {
                sequence.bytes += characters[i];
                const unsigned char c = static_cast<unsigned char>(characters[i][0]);
                if (characters[i].size() == 1 && c >= 0x40 && c <= 0x7e) break;
            }
            pieces.push_back(std::move(sequence));
        } else {
            pieces.push_back({characters[i], false});
        }
    }
    return pieces;
}

bool isReset(const std::string& sequence) { return sequence == "\x1b[0m" || sequence == "\x1b[m"; }

std::string wrapLine(const std::string& line, std::size_t width) {
    const auto pieces = piecesOf(line);
    std::size_t shown = 0;
    for (const auto& piece : pieces) shown += piece.colour ? 0 : 1;
    if (shown <= width) return line;

    // The indent of the continued lines, and where the first line's text
    // begins after it; a numbered row's text goes on under its text, as its
    // detail lines do.
    std::string indent;
    std::size_t textStart = 0;
    for (; textStart < pieces.size(); ++textStart) {
        const Piece& piece = pieces[textStart];
        if (piece.colour) continue;
        if (piece.bytes != " " && !(piece.bytes == "|" && indent.empty())) break;
        indent += piece.bytes;
    }
    std::size_t firstBegin = textStart;
    std::size_t digits = 0;
    while (firstBegin < pieces.size() && pieces[firstBegin].bytes.size() == 1 && std::isdigit(
               static_cast<unsigned char>(pieces[firstBegin].bytes[0]))) {
        ++firstBegin;
        ++digits;
    }
    if (digits > 0 && firstBegin + 1 < pieces.size() && pieces[firstBegin].bytes == "." && pieces[firstBegin + 1].space()) {
        firstBegin += 2;
        indent.append(digits + 2, ' ');
    } else {
        firstBegin = textStart;
    }
    std::string out;
    std::string colour;  // the colour sequences running since the last reset
    std::size_t at = 0;
    bool first = true;
    // An indent that leaves little room is dropped, from the first line too,
    // so that every line carries text.
    if (indent.size() * 2 > width) {
        indent.clear();
        for (; at < textStart; ++at) {
            if (!pieces[at].colour) continue;
            out += pieces[at].bytes;
            colour = isReset(pieces[at].bytes) ? std::string() : colour + pieces[at].bytes;
        }
    }
    while (at < pieces.size()) {
        const std::size_t room = first ? width : width - indent.size();
        const std::size_t begin = first ? firstBegin : at;
        // The end of what fits, and the last space within it (a space just
        // past it fits too: it is dropped at the break).
        std::size_t end = at;
        std::size_t count = 0;
        std::size_t space = pieces.size();
        while (end < pieces.size()) {
            if (pieces[end].colour) {
                ++end;
                continue;
            }
            if (pieces[end].space() && end > begin) space = end;
            if (count == room) break;
            ++count;
            ++end;
        }
        std::string part = first ? std::string() : indent + colour;
        if (end >= pieces.size()) {
            for (std::size_t i = at; i < pieces.size(); ++i) part += pieces[i].bytes;
            out += part;
            break;
        }
        const std::size_t cut = space < pieces.size() ? space : end;
        for (std::size_t i = at; i < cut; ++i) {
            part += pieces[i].bytes;
            if (pieces[i].colour) colour = isReset(pieces[i].bytes) ? std::string() : colour + pieces[i].bytes;
        }
        // No blank stays at the end of the line, nor begins the next.
        while (!part.empty() && part.back() == ' ') part.pop_back();
        out += part + (colour.empty() ? "" : "\x1b[0m") + "\n";
        at = cut;
        while (at < pieces.size() && pieces[at].space()) ++at;
        first = false;
    }
    return out;
}

}  // namespace

std::string LineWrap::wrap(const std::string& text, int width) {
    if (width <= 0) return text;
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t nl = text.find('\n', start);
        const std::size_t end = nl == std::string::npos ? text.size() : nl;
        out += wrapLine(text.substr(start, end - start), static_cast<std::size_t>(width));
        if (nl == std::string::npos) break;
        out += '\n';
        start = nl + 1;
    }
    return out;
}
