#pragma once

#include <cstdint>
#include <optional>
#include <string>

class SqlDatabase;
class Trekora;

// Posting of the document being written: the temporary document, the stock
// transfer of a goods receipt, then header, lines, column fixes, copy into
// the document tables, document number, batches and stock, all on one
// connection that the caller holds inside its transaction.
class DokladPosting {
public:
    enum class Direction { None, Receipt, Issue };

    struct Statements {
        std::string columnFixes;  // variant of "doklad_insert_03_update_columns"
        std::string batchInsert;  // variant of "sklad_sarza_insert"
        std::string batchSelect;  // variant of "sklad_sarza_polo_select"
        std::string stockSelect;  // variant of "sklad_polo_select"
        Direction direction = Direction::None;
        std::string batchUpdate;  // "" when the type moves no stock
        std::string stockUpdate;  // "" when the type moves no stock
    };

    // The stored statements of a document type.
    static Statements statementsFor(std::int64_t pohyb, std::int64_t koeficient);

    explicit DokladPosting(Trekora& trekora) : trekora_(trekora) {}

    // Builds the temporary document and, for a goods receipt that the
    // settings send to the office, makes the stock transfer. Answers the
    // transfer's result when it failed, and the refusal of a document beyond
    // the range its amounts are exact in; nothing is to be written then.
    // `held` is the caller's connection when it already holds a transaction:
    // what the builder reads is then read on it.
    std::optional<std::string> prepare(SqlDatabase* held = nullptr);

    // Writes the temporary document on `db` and answers "ok! ,,cdok=" and the
    // new number. Throws on the first failing lookup, statement or query;
    // never begins, commits or rolls back.
    std::string write(SqlDatabase& db);

private:
    // Runs the stored column fixes `columnFixes` of the temporary header
    // `headerId` with the establishment the document is written for named
    // on the header (Establishment).
    void fixColumns(SqlDatabase& db, std::int64_t headerId, const std::string& columnFixes);
    void moveQuantities(SqlDatabase& db, const std::string& updateName, const std::string& selectName);

    Trekora& trekora_;
};
