#pragma once

#include <string>

// One typed line of the terminal front end.
//   <n>          select row n (in an alert: action n)
//   i<n>         accessory button of row n
//   f<n>=text    fill field n with text (taken whole, or refused when its
//                keyboard lacks a character)
//   s<n>         flip switch n
//   d<n>=dd.mm.yyyy   set date picker n (refused outside its range)
//   /text        search for text ("/" alone clears the search)
//   sc<n>        choose scope button n of the search bar
//   w, w<n>      wait: let the program work for 1 (or n) seconds
//   b, back      back
//   q, quit      quit
//   ?, h, help   help
//   +, -         show the next / previous part of a screen taller than the terminal
//   !title       tap the button or action with exactly this title
//   :wifi NAME   the handheld joins the Wi-Fi network NAME (":wifi" shows it)
//   title        same, when the line is none of the above
// Where a screen or alert has a single text field, a bare value (a number or
// a text that is no title) is typed into it; where it has a single button, an
// empty line taps that (ModelRunner). A line holding a control character is
// refused whole (ModelRunner).
struct Command {
    enum class Kind { empty, quit, help, back, wait, row, accessory, fill, toggle, date, search, scope, tap,
                      scrollDown, scrollUp, wifi };

    Kind kind = Kind::empty;
    int number = 0;     // 1-based
    std::string text;   // field text, search text, date, title, network name; the typed number of a row
    bool bare = false;  // a row number or a title typed without a sign: may be a field's value

    static Command parse(const std::string& line);
    static std::string helpLine();
};
