#pragma once

// Whole database files as the synchronisation handles them: consistent
// snapshots for the backup, checks of downloaded files, and the safe
// replacement of a file by a download.

#include <string>
#include <vector>

class DatabaseFile {
public:
    // The tables the application needs in its database.
    static const std::vector<std::string>& requiredTables();

    // True when the file starts with the 16-byte SQLite header.
    static bool hasSqliteHeader(const std::string& path);
    // "" when the database file passes SQLite's own integrity check;
    // otherwise what the check (or the opening of the file) answered.
    static std::string integrityProblem(const std::string& path);
    // Why the settings row of the centre `str` cannot be read from the
    // database file at `path`; "" when its rows were read to their end.
    static std::string settingsProblem(const std::string& path, const std::string& str);
    // "" when the file is an SQLite database that passes the integrity check,
    // holds every required table and the settings of its centre; otherwise
    // the reason.
    static std::string checkDatabase(const std::string& path);

    // Writes a consistent copy of the database at `from` into a new file
    // `to` through SQLite's online backup (other connections may write
    // meanwhile). False with the reason on any failure; `to` is then removed.
    // `unreadable` tells whether it failed because `from` cannot be read as
    // a database at all (no database, or damaged beyond a copy).
    static bool snapshot(const std::string& from, const std::string& to, std::string* reason,
                         bool* unreadable = nullptr);

    // Copies `from` beside `to` and renames it over `to`, so that `to` is
    // either the old file or the whole new one; nothing is removed first.
    static bool placeCopy(const std::string& from, const std::string& to, std::string* reason);

    // The restore: checks the downloaded database at `download`, copies it
    // beside `database` and renames it into its place. "" on success; the
    // reason otherwise, with the old database untouched.
    static std::string replaceWith(const std::string& download, const std::string& database);
};
