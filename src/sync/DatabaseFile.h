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

    // True for SQLite's answer that the database is held by another
    // connection (busy or locked): such a file is busy, never damaged.
    static bool isBusy(int code);
    // What the salesman is told of a database that another connection held
    // for longer than the wait; `reason` is SQLite's answer.
    static std::string busyMessage(const std::string& reason);

    // True when the file starts with the 16-byte SQLite header.
    static bool hasSqliteHeader(const std::string& path);
    // "" when the database file passes SQLite's own integrity check;
    // otherwise what the check (or the opening of the file) answered.
    // `busy` tells whether that answer was that the file is busy: then
    // nothing is known of its damage.
    static std::string integrityProblem(const std::string& path, bool* busy = nullptr);
    // Why the settings row of the centre `str` cannot be read from the
    // database file at `path`; "" when its rows were read to their end.
    static std::string settingsProblem(const std::string& path, const std::string& str);
    // "" when the file is an SQLite database that passes the integrity check,
    // holds every required table and the settings of its centre; otherwise
    // the reason. A file held by another connection for longer than the
    // wait is busy, not damaged: the reason is then busyMessage's, and
    // `busy` says so.
    static std::string checkDatabase(const std::string& path, bool* busy = nullptr);

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
