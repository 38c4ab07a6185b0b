#pragma once

#include <optional>
#include <string>
#include <vector>

class SqlDatabase;

// Received orders as an earlier version left them, brought to the form this
// version keeps. That version stored lines and customer records sent
// without the order's number with none, tied to their header only by row id
// in obj_riadky; this version finds the rows of an order by its number
// alone. Each such row takes the number of the header its link names, and
// obj_riadky goes, in one transaction: a failure or a kill leaves the links
// as they were, and the next try completes it. Once the links are gone there
// is nothing to do, so it may run on every road that opens a database.
class PrevodObjednavok {
public:
    // On the database file `dbPath`, in one exclusive transaction of its
    // own when there are links to take over. None, or the reason it could
    // not (the links then stay).
    static std::optional<std::string> preved(const std::string& dbPath);

    // The same within the transaction the caller holds on `db`. "" or
    // SQLite's message; the caller rolls back on a failure.
    static std::string prevedV(SqlDatabase& db);

    // The start of the message that tells why the orders of an earlier
    // version could not be taken over; the reason follows in parentheses.
    static const std::string chyba;

private:
    // Gives each linked row the number of its header, where the header
    // exists and has one. A link is taken only while both tables it joins
    // are older than the links: their ids come from AUTOINCREMENT, never
    // given twice and kept by a VACUUM, but a table dropped and made again
    // (a data update may do so) numbers its rows anew, and a link made
    // before then may name another order's row or header; the rows of such
    // a table are left as they are. "" or SQLite's message.
    static std::string ocislujRiadky(SqlDatabase& db, const std::vector<std::string>& tabulky);
    // The names of the database's tables in the order they were made, in
    // `tabulky`. "" or SQLite's message.
    static std::string tabulky(SqlDatabase& db, std::vector<std::string>& tabulky);
};
