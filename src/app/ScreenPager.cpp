#include "app/ScreenPager.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos) nl = text.size() - 1;
        lines.push_back(text.substr(start, nl + 1 - start));
        start = nl + 1;
    }
    return lines;
}

int countLines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

int sizeOf(const std::vector<std::string>& lines) { return static_cast<int>(lines.size()); }

}  // namespace

const std::vector<std::string>& ScreenPager::Lines::of(std::size_t entry) {
    auto found = drawn_.find(entry);
    if (found != drawn_.end()) return found->second;
    return drawn_.emplace(entry, linesOf(renderer_.renderEntry(snapshot_, entry))).first->second;
}

ScreenPager::Position ScreenPager::Lines::advance(Position from, int lines) {
    // Lands on a line that is drawn, or at the end.
    const std::size_t end = entries();
    while (from.entry < end) {
        const int left = std::max(0, sizeOf(of(from.entry)) - from.line);
        if (lines < left) {
            from.line += lines;
            return from;
        }
        lines -= left;
        from = {from.entry + 1, 0};
    }
    return {end, 0};
}

ScreenPager::Position ScreenPager::Lines::retreat(Position from, int lines) {
    from.entry = std::min(from.entry, entries());
    while (lines > 0) {
        if (from.line >= lines) {
            from.line -= lines;
            break;
        }
        lines -= from.line;
        from.line = 0;
        if (from.entry == 0) break;
        --from.entry;
        from.line = sizeOf(of(from.entry));
    }
    return advance(from, 0);
}

bool ScreenPager::Lines::anyBefore(Position at) {
    if (at.line > 0) return true;
    for (std::size_t e = std::min(at.entry, entries()); e-- > 0;)
        if (!of(e).empty()) return true;
    return false;
}

std::string ScreenPager::fit(const ScreenSnapshot& s, const TerminalRenderer& renderer, int height, const void* shown) {
    if (shown != shown_) {
        shown_ = shown;
        top_ = {};
        move_ = 0;
    }
    if (height <= 0) {
        top_ = {};
        move_ = 0;
        further_ = back_ = false;
        return renderer.render(s);
    }
    const std::string head = renderer.renderHead(s);
    const std::string foot = renderer.renderFoot(s);
    const int fixed = countLines(head) + countLines(foot);
    Lines lines(s, renderer);
    const Position end{lines.entries(), 0};

    std::string out = head;
    std::size_t firstShown = 0, lastShown = end.entry;  // entries in view: [firstShown, lastShown)
    if (lines.advance({}, std::max(0, height - fixed)) == end) {
        // Everything fits.
        top_ = {};
        further_ = back_ = false;
        for (std::size_t e = 0; e < end.entry; ++e)
            for (const auto& line : lines.of(e)) out += line;
    } else {
        // One line goes to the note of what is shown; at least one content
        // line shows however short the terminal is.
        const int window = std::max(1, height - fixed - 1);
        if (move_ > 0) top_ = lines.advance(top_, window);
        if (move_ < 0) top_ = lines.retreat(top_, window);
        move_ = 0;
        top_ = lines.advance(top_, 0);
        Position bottom = lines.advance(top_, window);
        if (bottom == end) {
            // The last window is a full one.
            top_ = lines.retreat(end, window);
            bottom = lines.advance(top_, window);
        }
        further_ = bottom != end;
        back_ = lines.anyBefore(top_);

        int taken = 0;
        firstShown = lastShown = top_.entry;
        for (Position p = top_; taken < window && p.entry < end.entry; p = {p.entry + 1, 0}) {
            const auto& drawn = lines.of(p.entry);
            for (int i = p.line; i < sizeOf(drawn) && taken < window; ++i, ++taken) out += drawn[i];
            lastShown = p.entry + 1;
        }

        std::optional<std::pair<int, int>> rows;
        for (std::size_t e = firstShown; e < lastShown; ++e) {
            const auto entry = s.entry(e);
            if (entry.item->kind != ScreenSnapshot::Item::Kind::rows) continue;
            const int number = entry.item->number + entry.row;
            rows = rows ? std::make_pair(rows->first, number) : std::make_pair(number, number);
        }
        std::string note;
        if (s.rowCount > 0 && rows) {
            note = "-- " + std::to_string(rows->first) + "-" + std::to_string(rows->second) + " / " +
                   std::to_string(s.rowCount) + " rows";
        } else if (s.rowCount > 0) {
            note = "-- none of " + std::to_string(s.rowCount) + " rows here";
        } else {
            // Without rows the content is short to draw whole: its lines are counted.
            int before = top_.line, all = 0;
            for (std::size_t e = 0; e < end.entry; ++e) {
                all += sizeOf(lines.of(e));
                if (e < top_.entry) before += sizeOf(lines.of(e));
            }
            note = "-- " + std::to_string(before + 1) + "-" + std::to_string(before + taken) + " / " +
                   std::to_string(all);
        }
        if (further_) note += "   + further";
        if (back_) note += "   - back";
        out += note + " --\n";
    }
    out += foot;

    // The tables keep the cells of the rows in view and hand the others back.
    std::map<platform::TableView*, std::vector<platform::IndexPath>> inView;
    for (const auto& item : s.items)
        if (item.kind == ScreenSnapshot::Item::Kind::rows) inView[item.table.get()];
    for (std::size_t e = firstShown; e < lastShown; ++e) {
        const auto entry = s.entry(e);
        if (entry.item->kind == ScreenSnapshot::Item::Kind::rows)
            inView[entry.item->table.get()].push_back({entry.item->section, entry.row});
    }
    for (auto& [table, rows] : inView) table->setVisibleRows(rows);
    return out;
}

bool ScreenPager::forward() {
    if (!further_) return false;
    move_ = 1;
    further_ = false;
    back_ = true;
    return true;
}

bool ScreenPager::backward() {
    if (!back_) return false;
    move_ = -1;
    back_ = false;
    further_ = true;
    return true;
}
