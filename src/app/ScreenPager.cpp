#include "app/ScreenPager.h"

#include <algorithm>
#include <vector>

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

}  // namespace

std::string ScreenPager::fit(const TerminalRenderer::Page& page, int height, const void* shown) {
    if (shown != shown_) {
        shown_ = shown;
        offset_ = 0;
    }
    const auto body = linesOf(page.body);
    bodyLines_ = static_cast<int>(body.size());
    const int fixed = countLines(page.head) + countLines(page.foot);
    if (height <= 0 || fixed + bodyLines_ <= height) {
        offset_ = 0;
        window_ = bodyLines_;
        return page.text();
    }
    // One line goes to the note of what is shown; at least one content line
    // shows however short the terminal is.
    window_ = std::max(1, height - fixed - 1);
    offset_ = std::clamp(offset_, 0, std::max(0, bodyLines_ - window_));
    const int end = std::min(bodyLines_, offset_ + window_);
    std::string out = page.head;
    for (int i = offset_; i < end; ++i) out += body[static_cast<std::size_t>(i)];
    std::string note = "-- " + std::to_string(offset_ + 1) + "-" + std::to_string(end) + " / " +
                       std::to_string(bodyLines_);
    if (end < bodyLines_) note += "   + further";
    if (offset_ > 0) note += "   - back";
    out += note + " --\n";
    out += page.foot;
    return out;
}

bool ScreenPager::forward() {
    if (window_ <= 0 || offset_ + window_ >= bodyLines_) return false;
    offset_ += window_;
    return true;
}

bool ScreenPager::backward() {
    if (offset_ <= 0) return false;
    offset_ = std::max(0, offset_ - std::max(1, window_));
    return true;
}
