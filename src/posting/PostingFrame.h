#pragma once

#include "db/SqlDatabase.h"

#include <exception>
#include <functional>
#include <optional>
#include <string>

class Trekora;

// The common steps of the small transactional writers (cash withdrawals and
// deposits, point transfers, cancellations, protocols, invoice payments and
// inventories): own connection, stored texts, one exclusive transaction, the
// statements, the new document's number, commit or rollback, result string.
// Each writer gives only its choices at the variation points.
class PostingFrame {
public:
    enum class Lookup {
        OnConnection,  // on the writer's connection: a missing text is an error
        Separate,      // on a short connection of its own, before the transaction
    };
    enum class Binding {
        EveryStatement,      // every statement receives the whole value list
        FirstStatementOnly,  // later statements run without values
    };
    enum class Number {
        FirstRow,          // first row of "last_insert_cdok"; an empty number is accepted
        EveryRow,          // every row read, the last counts; an empty number fails
        FirstRowRequired,  // first row; an empty number fails
    };

    struct Options {
        // Writer's name with its argument labels, for the start line; no
        // start line when empty.
        std::string name;
        // Refusal before anything is looked up; nullopt lets the writer go on.
        std::function<std::optional<std::string>()> checks;
        // Reload the kilometre reading before the values are taken.
        bool kilometres = false;
        Lookup lookup = Lookup::Separate;
        // The writer's stored text; chosen after "last_insert_cdok" has been
        // looked up. nullopt means there is none for this call.
        std::function<std::optional<std::string>()> queryName;
        // Answer when there is no stored text or it holds no statement;
        // nullopt answers "chyba!,," with the missing-query text.
        std::optional<std::string> noStatementAnswer;
        std::function<SqlDatabase::Values()> values;
        // Refusal inside the writer's transaction, before its statements:
        // reads what the statements are about to change. A refusal rolls
        // back and is the answer; nullopt lets the writer go on.
        std::function<std::optional<std::string>(SqlDatabase& db)> verify;
        // For a writer whose statements write a customer's document into
        // vety: IDOSC of the customer row chosen on the screen, named on the
        // header right after the statement that wrote it (Establishment).
        std::optional<std::string> establishment;
        Binding binding = Binding::EveryStatement;
        // Refusal after the statements, before the number: reads what they
        // wrote. A refusal rolls back and is the answer.
        std::function<std::optional<std::string>(SqlDatabase& db)> confirm;
        Number number = Number::FirstRow;
        // Runs after a successful commit.
        std::function<void(const std::string& cdok)> afterCommit;
    };

    static std::string run(Trekora& trekora, const Options& options);

    // The failure step of a transactional writer: console lines, rollback of
    // an open transaction, and the answer "chyba!,," with the description.
    static std::string fail(SqlDatabase& db, const std::exception& error);
    // Closes the writer's connection and answers `result`.
    static std::string close(SqlDatabase& db, const std::string& result);
};
