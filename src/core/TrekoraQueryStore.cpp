#include "core/Trekora.h"

#include "core/CoreDb.h"
#include "core/SqlException.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

namespace {
const char* const kLookup = "select name,sql from sqliteadmin_queries where name=:NAME;";
}

std::string Trekora::getQuery(const std::string& name) {
    std::string result;
    auto db = SqlDatabase::databaseWithPath(dbURL);
    if (!db->open()) {
        coredb::trace("Unable to open database");
        return "Unable to open database";
    }
    std::optional<SqlError> error;
    auto rs = db->executeQuery(kLookup, {name}, &error);
    if (!rs) {
        coredb::trace("failed: " + (error ? error->description : db->lastErrorMessage()));
    } else {
        while (rs->next()) result = coredb::text(*rs, "sql");
        rs->close();
    }
    db->close();
    return result;
}

std::string Trekora::getQueryOrThrow(const std::string& name) {
    std::string result;
    auto db = SqlDatabase::databaseWithPath(dbURL);
    db->open();
    std::optional<SqlError> error;
    auto rs = db->executeQuery(kLookup, {name}, &error);
    if (!rs) throw SqlException(error ? *error : db->lastError());
    while (rs->next()) result = coredb::text(*rs, "sql");
    rs->close();
    db->close();
    return result;
}

std::string Trekora::getQuery(const std::string& name, SqlDatabase& db) {
    std::optional<SqlError> error;
    auto rs = db.executeQuery(kLookup, {name}, &error);
    if (!rs) {
        coredb::trace("failed: " + (error ? error->description : db.lastErrorMessage()));
        return "";
    }
    std::string result;
    if (rs->next()) result = coredb::text(*rs, "sql");
    rs->close();
    return result;
}

std::string Trekora::getQueryOrThrow(const std::string& name, SqlDatabase& db) {
    std::optional<SqlError> error;
    auto rs = db.executeQuery(kLookup, {name}, &error);
    if (!rs) {
        SqlException failure(error ? *error : db.lastError());
        coredb::trace(std::string("failed: ") + failure.what());
        throw failure;
    }
    std::string result;
    // A text that cannot be read is an error of its own, not a missing one.
    std::optional<SqlError> stepError;
    if (rs->nextWithError(&stepError)) result = coredb::text(*rs, "sql");
    rs->close();
    if (stepError) {
        SqlException failure(*stepError);
        coredb::trace(std::string("failed: ") + failure.what());
        throw failure;
    }
    if (result.empty()) {
        auto failure = TrekoraError::nenajdeneQuery(name);
        coredb::trace(std::string("failed: ") + failure.what());
        throw failure;
    }
    return result;
}
