#pragma once

#include <string>

// The data update the office double offers at the start of a day: a small
// database file with a new activity ("Zimná akcia", id 900) and its stored
// script "update1", which puts the activity into the device's database and
// marks it with the centre code.
class OfficeUpdate {
public:
    // The date the office gives the file (later than the demo database's).
    static constexpr const char* lastModified = "Sun, 06 Dec 2026 18:00:00 GMT";
    // The bytes of the update file ("" when it cannot be made).
    static std::string file();
};
