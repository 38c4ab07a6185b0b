#pragma once

#include <string>

// One typed line of the terminal front end.
//   <n>          select row n (in an alert: action n)
//   i<n>         accessory button of row n
//   f<n>=text    fill field n with text (typed as on its keyboard)
//   s<n>         flip switch n
//   d<n>=dd.mm.yyyy   set date picker n
//   /text        search for text ("/" alone clears the search)
//   sc<n>        choose scope button n of the search bar
//   w, w<n>      wait: let the program work for 1 (or n) seconds
//   b, back      back
//   q, quit      quit
//   ?, h, help   help
//   !title       tap the button or action with exactly this title
//   :wifi NAME   the handheld joins the Wi-Fi network NAME (":wifi" shows it)
//   title        same, when the line is none of the above
struct Command {
    enum class Kind { empty, quit, help, back, wait, row, accessory, fill, toggle, date, search, scope, tap, wifi };

    Kind kind = Kind::empty;
    int number = 0;    // 1-based
    std::string text;  // field text, search text, date, title, network name

    static Command parse(const std::string& line);
    static std::string helpLine();
};
