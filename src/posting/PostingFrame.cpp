#include "posting/PostingFrame.h"
#include "core/CoreDb.h"

#include "core/Establishment.h"
#include "core/OdoslaneCisla.h"
#include "core/SqlFailure.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"

using platform::Console;

std::string PostingFrame::run(Trekora& trekora, const Options& options) {
    if (!options.name.empty()) Console::print("start " + options.name + " ...");

    auto db = SqlRows::connection(trekora);
    if (!db->open()) {
        Console::print("Unable to open database");
        return "chyba!,," + db->lastErrorMessage();
    }

    if (options.checks) {
        if (auto refusal = options.checks()) {
            db->close();
            return *refusal;
        }
    }
    if (options.kilometres) trekora.readKm();

    std::string result;
    try {
        const std::string numberText = options.lookup == Lookup::OnConnection
                                           ? trekora.getQueryOrThrow("last_insert_cdok", *db)
                                           : trekora.getQueryOrThrow("last_insert_cdok");
        // Without the number query a writer cannot tell which document it
        // wrote.
        if (numberText.empty()) throw TrekoraError::nenajdeneQuery("last_insert_cdok");
        const std::optional<std::string> name = options.queryName ? options.queryName() : std::nullopt;
        std::string text;
        if (name) {
            text = options.lookup == Lookup::OnConnection ? trekora.getQueryOrThrow(*name, *db)
                                                           : trekora.getQueryOrThrow(*name);
        }
        const coredb::Statements statements = coredb::cutStatements(text);
        if (statements.statements.empty()) {
            // Nothing to write is never a success: committing nothing would
            // answer with the number of some earlier document.
            db->close();
            if (options.noStatementAnswer) return *options.noStatementAnswer;
            return "chyba!,," + std::string(TrekoraError::nenajdeneQuery(name.value_or("")).what());
        }
        coredb::traceCounts(statements);

        const SqlDatabase::Values values = options.values ? options.values() : SqlDatabase::Values{};
        db->setCrashOnErrors(true);
        if (!db->beginTransaction()) throw SqlFailure(db->lastErrorMessage());
        auto refuse = [&](const std::string& refusal) {
            db->rollback();
            Console::print("rollback");
            return close(*db, refusal);
        };
        if (options.verify) {
            if (auto refusal = options.verify(*db)) return refuse(*refusal);
        }

        std::optional<Establishment> establishment;
        if (options.establishment) {
            establishment.emplace(*options.establishment);
            establishment->beforeStatements(*db);
        }
        bool first = true;
        for (const auto& statement : statements.statements) {
            const bool bind = first || options.binding == Binding::EveryStatement;
            SqlRows::update(*db, statement, bind ? values : SqlDatabase::Values{});
            Console::print(statement);
            if (establishment) establishment->afterStatement(*db);
            first = false;
        }
        if (options.confirm) {
            if (auto refusal = options.confirm(*db)) return refuse(*refusal);
        }

        std::string cdok;
        auto rs = SqlRows::query(*db, numberText, {});
        if (options.number == Number::EveryRow) {
            while (rs->next()) {
                cdok = SqlRows::text(*rs, "CDOK");
                Console::print(cdok);
            }
        } else if (rs->next()) {
            cdok = SqlRows::text(*rs, "CDOK");
        }
        rs->close();
        if (options.number != Number::FirstRow && cdok.empty()) throw SqlFailure(db->lastErrorMessage());
        if (auto refusal = OdoslaneCisla::chybaCisla(cdok)) return refuse("chyba!,,doklad nebol zapísaný: " + *refusal);

        Console::print("cdok= " + cdok);
        if (!db->commit()) throw SqlFailure(db->lastErrorMessage());
        Console::print("commit");
        result = "ok!,,cdok=" + cdok;
        if (options.afterCommit) options.afterCommit(cdok);
    } catch (const std::exception& e) {
        result = fail(*db, e);
    }
    return close(*db, result);
}

std::string PostingFrame::fail(SqlDatabase& db, const std::exception& error) {
    Console::print(std::string("error: ") + error.what());
    Console::print(error.what());
    if (db.inTransaction()) db.rollback();
    Console::print("rollback");
    return std::string("chyba!,,") + error.what();
}

std::string PostingFrame::close(SqlDatabase& db, const std::string& result) {
    db.close();
    Console::print("close");
    return result;
}
