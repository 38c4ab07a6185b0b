// Writing the document being written: on a connection of its own in one
// exclusive transaction (zapisDoklad), or on a connection and inside a
// transaction that the caller holds (zapisDokladDB). Both run the same
// posting; they differ only in who owns the connection and how a failure
// comes back.
#include "core/CoreDb.h"
#include "core/SqlFailure.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "posting/DokladPosting.h"
#include "posting/PostingConnection.h"

using platform::Console;

std::string Trekora::zapisDoklad() {
    Console::print("start zapisDoklad() ...");
    DokladPosting posting(*this);
    if (!postingConnection) postingConnection = std::make_shared<PostingConnection>();
    auto db = postingConnection->acquire(dbURL, postingBusyTimeout);
    if (!db) {
        // The temporary document is built all the same, as the caller may
        // read it after a failure.
        if (auto refused = posting.prepare()) return *refused;
        Console::print("Unable to open database");
        return "chyba!,,nemôžem_otvoriť_databázu";
    }
    // The connection stays open for the next posting, which runs the same
    // statements from its cache.
    std::string result;
    const std::string printingBefore = printingId;
    try {
        // Built on the writer's connection (the receipt number is read
        // there), before the transaction: a goods receipt may wait for the
        // office's stock transfer here.
        if (auto refused = posting.prepare(db.get())) return *refused;
    } catch (const std::exception& e) {
        result = std::string("chyba! ,,") + e.what();
        Console::print(result);
        return result;
    }
    if (!db->beginTransaction()) {
        result = "chyba! ,," + db->lastErrorMessage();
        Console::print(result);
        return result;
    }
    try {
        result = posting.write(*db);
        if (!db->commit()) throw SqlFailure(db->lastErrorMessage());
        Console::print("commit");
    } catch (const std::exception& e) {
        Console::print(e.what());
        result = std::string("chyba! ,,") + e.what();
        if (db->inTransaction()) db->rollback();
        Console::print("rollback");
        // The header it named went with the rollback.
        if (printingId != printingBefore) printingId.clear();
    }
    return result;
}

std::string Trekora::zapisDokladDB(SqlDatabase& db) {
    Console::print("start zapisDokladDB(db:) ...");
    DokladPosting posting(*this);
    const std::string printingBefore = printingId;
    try {
        if (auto refused = posting.prepare(&db)) return *refused;
        return posting.write(db);
    } catch (const std::exception& e) {
        Console::print(e.what());
        // The caller rolls the header back.
        if (printingId != printingBefore) printingId.clear();
        throw;
    }
}

void Trekora::executeQueryDB(SqlDatabase& db, const std::string& name, const SqlDatabase::Values& values) {
    const coredb::Statements statements = coredb::cutStatements(getQueryOrThrow(name, db));
    if (postingTrace) coredb::traceCounts(statements);
    for (const auto& statement : statements.statements) {
        SqlRows::update(db, statement, values);
        if (postingTrace) Console::print(statement);
    }
}

std::string Trekora::getCdok(const std::string& pohyb) {
    const std::string sql = getQuery("cdok_get");
    if (sql.empty()) return "";
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return "chyba! ,,nemôžem_otvoriť_databázu";
    }
    std::string result;
    try {
        auto rs = SqlRows::query(*db, sql, {idu, pohyb});
        if (rs->next()) result = rs->stringForColumnIndex(0).value_or("");
        rs->close();
    } catch (const std::exception& e) {
        Console::print(e.what());
        result = std::string("chyba! ,,") + e.what();
    }
    db->close();
    return result;
}

