#pragma once

#include <string>

// Fits drawn text to the terminal's width, so that the terminal never breaks
// a line itself: in the middle of a word, and unseen by the pager, which
// counts the lines it draws. A line wider than the width is broken at its
// last space that fits; a word longer than the width is cut. Characters are
// counted (UTF-8 code points), not bytes, and colour sequences count for
// nothing; a colour running at a break ends there and begins again on the
// next line. A continued line is indented as its line was: the leading
// blanks, or the "| " of an alert box.
class LineWrap {
public:
    // Every line of `text` fitted to `width` characters; 0 or less: the text
    // as it is.
    static std::string wrap(const std::string& text, int width);
};
