#include "db/SqlDatabase.h"

#include <sqlite3.h>

#include <cassert>
#include <cctype>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <random>

#include "platform/DateFormatter.h"
#include "platform/TextEncoding.h"
#include "platform/Url.h"
#include "db/SqlLog.h"
#include "db/SqlResultSet.h"
#include "db/SqlStatement.h"

namespace {

std::string fmtInt(const char* format, long long a) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, a);
    return buf;
}

std::string stepLine(const char* prefix, int rc, const char* message, const char* suffix) {
    return std::string(prefix) + " (" + std::to_string(rc) + ": " + (message ? message : "") + ") " + suffix;
}

double nowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

// ---------------------------------------------------------------- creation

SqlDatabase::SqlDatabase() : SqlDatabase(std::optional<std::string>()) {}

SqlDatabase::SqlDatabase(std::optional<std::string> path) : _databasePath(std::move(path)) {
    // The layer relies on a library built thread-safe.
    assert(sqlite3_threadsafe() != 0);
}

SqlDatabase::~SqlDatabase() { close(); }

std::shared_ptr<SqlDatabase> SqlDatabase::databaseWithPath(std::optional<std::string> path) {
    return std::make_shared<SqlDatabase>(std::move(path));
}

std::shared_ptr<SqlDatabase> SqlDatabase::databaseWithURL(std::optional<std::string> fileURL) {
    return std::make_shared<SqlDatabase>(pathFromFileURL(fileURL));
}

std::shared_ptr<SqlDatabase> SqlDatabase::databaseWithURL(const platform::Url& fileURL) {
    return std::make_shared<SqlDatabase>(fileURL.filePath());
}

std::optional<std::string> SqlDatabase::pathFromFileURL(const std::optional<std::string>& fileURL) {
    if (!fileURL) return std::nullopt;
    const std::string& url = *fileURL;
    if (url.rfind("file:", 0) != 0) return url;
    std::string rest = url.substr(5);
    if (rest.rfind("//", 0) == 0) {
        // Skip the authority ("localhost" or empty).
        auto slash = rest.find('/', 2);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    auto cut = rest.find_first_of("?#");
    if (cut != std::string::npos) rest.resize(cut);
    std::string path;
    path.reserve(rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size()) {
            int hi = hexDigit(rest[i + 1]), lo = hexDigit(rest[i + 2]);
            if (hi >= 0 && lo >= 0) {
                path.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        path.push_back(rest[i]);
    }
    return path;
}

std::optional<std::string> SqlDatabase::databaseURL() const {
    if (!_databasePath) return std::nullopt;
    static const char* hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : *_databasePath) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url.push_back(static_cast<char>(c));
        } else {
            url.push_back('%');
            url.push_back(hex[c >> 4]);
            url.push_back(hex[c & 15]);
        }
    }
    return url;
}

std::string SqlDatabase::sqlitePath() const {
    if (!_databasePath) return ":memory:";
    return *_databasePath;
}

std::string SqlDatabase::description() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "<SqlDatabase: %p>", static_cast<const void*>(this));
    return buf;
}

// ------------------------------------------------------- opening and closing

bool SqlDatabase::open() { return openWithFlags(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, std::nullopt); }

bool SqlDatabase::openWithFlags(int flags) { return openWithFlags(flags, std::nullopt); }

bool SqlDatabase::openWithFlags(int flags, const std::optional<std::string>& vfsName) {
    if (_isOpen) return true;
    if (_db) close();
    clearOwnError();
    // URIs are always understood, so that "file:" names work in ATTACH.
    int rc;
    {
        std::lock_guard<std::mutex> lock(_handleMutex);
        rc = sqlite3_open_v2(sqlitePath().c_str(), &_db, flags | SQLITE_OPEN_URI, vfsName ? vfsName->c_str() : nullptr);
    }
    if (rc != SQLITE_OK) {
        SqlLog::write(fmtInt("error opening!: %lld", rc));
        return false;
    }
    if (_maxBusyRetryTimeInterval > 0.0) setMaxBusyRetryTimeInterval(_maxBusyRetryTimeInterval);
    _isOpen = true;
    return true;
}

bool SqlDatabase::close() {
    // Detaching the cursors may drop their references to this connection.
    auto self = weak_from_this().lock();
    clearCachedStatements();
    closeOpenResultSets();
    if (!_db) return true;

    std::lock_guard<std::mutex> lock(_handleMutex);
    bool retry;
    bool triedFinalizingOpenStatements = false;
    bool closed = false;
    do {
        retry = false;
        int rc = sqlite3_close(_db);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (!triedFinalizingOpenStatements) {
                triedFinalizingOpenStatements = true;
                sqlite3_stmt* pStmt;
                while ((pStmt = sqlite3_next_stmt(_db, nullptr)) != nullptr) {
                    SqlLog::write("Closing leaked statement");
                    sqlite3_finalize(pStmt);
                    retry = true;
                }
            }
        } else if (rc != SQLITE_OK) {
            SqlLog::write(fmtInt("error closing!: %lld", rc));
        } else {
            closed = true;
        }
    } while (retry);

    if (!closed) {
        // Still busy (an unfinished backup, say): hand the handle to SQLite
        // to close as soon as it can instead of leaking it and its file lock.
        sqlite3_close_v2(_db);
    }
    _db = nullptr;
    _isOpen = false;
    return true;
}

bool SqlDatabase::goodConnection() {
    if (!_isOpen) return false;
    auto rs = executeQuery("select name from sqlite_master where type='table'");
    if (rs) {
        rs->close();
        return true;
    }
    return false;
}

bool SqlDatabase::interrupt() {
    std::lock_guard<std::mutex> lock(_handleMutex);
    if (!_db) return false;
    sqlite3_interrupt(_db);
    return true;
}

// --------------------------------------------------------------- busy wait

void SqlDatabase::setMaxBusyRetryTimeInterval(double seconds) {
    _maxBusyRetryTimeInterval = seconds;
    if (!_db) return;
    if (seconds > 0.0) {
        sqlite3_busy_handler(_db, &SqlDatabase::busyHandler, this);
    } else {
        sqlite3_busy_handler(_db, nullptr, nullptr);
    }
}

int SqlDatabase::busyHandler(void* context, int count) {
    auto* self = static_cast<SqlDatabase*>(context);
    if (count == 0) {
        self->_startBusyRetryTime = nowSeconds();
        return 1;
    }
    double delta = nowSeconds() - self->_startBusyRetryTime;
    if (delta < self->_maxBusyRetryTimeInterval) {
        thread_local std::minstd_rand random(std::random_device{}());
        int requested = 50 + static_cast<int>(random() % 50);
        int actual = sqlite3_sleep(requested);
        if (actual != requested) {
            char buf[200];
            std::snprintf(buf, sizeof buf,
                          "WARNING: Requested sleep of %i milliseconds, but SQLite returned %i. "
                          "Maybe SQLite wasn't built with HAVE_USLEEP=1?",
                          requested, actual);
            SqlLog::write(buf);
        }
        return 1;
    }
    return 0;
}

int SqlDatabase::busyRetryTimeout() {
    SqlLog::write("SqlDatabase::busyRetryTimeout:" + std::to_string(__LINE__));
    SqlLog::write("SqlDatabase: busyRetryTimeout no longer works, please use maxBusyRetryTimeInterval");
    return -1;
}

void SqlDatabase::setBusyRetryTimeout(int) {
    SqlLog::write("SqlDatabase::setBusyRetryTimeout:" + std::to_string(__LINE__));
    SqlLog::write("SqlDatabase: setBusyRetryTimeout does nothing, please use setMaxBusyRetryTimeInterval:");
}

// ------------------------------------------------------- result-set books

void SqlDatabase::closeOpenResultSets() {
    auto copy = _openResultSets;
    for (SqlResultSet* rs : copy) {
        rs->setParentDB(nullptr);
        rs->close();
        _openResultSets.erase(rs);
    }
}

void SqlDatabase::resultSetDidClose(SqlResultSet* resultSet) { _openResultSets.erase(resultSet); }

// ------------------------------------------------------------------ errors

void SqlDatabase::setOwnError(int code, std::string message) { _ownError.emplace(code, std::move(message)); }

int SqlDatabase::lastErrorCode() const {
    if (_ownError) return _ownError->first;
    return _db ? sqlite3_errcode(_db) : SQLITE_OK;
}

int SqlDatabase::lastExtendedErrorCode() const {
    if (_ownError) return _ownError->first;
    return _db ? sqlite3_extended_errcode(_db) : SQLITE_OK;
}

std::string SqlDatabase::lastErrorMessage() const {
    if (_ownError) return _ownError->second;
    return _db ? std::string(sqlite3_errmsg(_db)) : std::string(sqlite3_errstr(SQLITE_OK));
}

bool SqlDatabase::hadError() const {
    int code = lastErrorCode();
    return code > SQLITE_OK && code < SQLITE_ROW;
}

SqlError SqlDatabase::errorWithMessage(const std::string& message) const {
    return SqlError{"SqlDatabase", lastErrorCode(), message};
}

SqlError SqlDatabase::lastError() const { return errorWithMessage(lastErrorMessage()); }

bool SqlDatabase::databaseExists() {
    if (!_isOpen) {
        std::string line = "The SqlDatabase " + description() + " is not open.";
        SqlLog::write(line);
        setOwnError(SQLITE_MISUSE, line);
        return false;
    }
    return true;
}

bool SqlDatabase::requireHandle() {
    // SQLite's calls are not all safe on a missing handle: never hand it one.
    if (_db) return true;
    std::string line = "The SqlDatabase " + description() + " is not open.";
    SqlLog::write(line);
    setOwnError(SQLITE_MISUSE, line);
    return false;
}

void SqlDatabase::warnInUse() {
    std::string line = "The SqlDatabase " + description() + " is currently in use.";
    SqlLog::write(line);
    setOwnError(SQLITE_MISUSE, line);
}

// --------------------------------------------------------- row bookkeeping

std::int64_t SqlDatabase::lastInsertRowId() {
    if (_isExecutingStatement) {
        warnInUse();
        return 0;
    }
    return _db ? sqlite3_last_insert_rowid(_db) : 0;
}

int SqlDatabase::changes() {
    if (_isExecutingStatement) {
        warnInUse();
        return 0;
    }
    return _db ? sqlite3_changes(_db) : 0;
}

// ------------------------------------------------------------ transactions

bool SqlDatabase::beginTransaction() { return beginExclusiveTransaction(); }

bool SqlDatabase::beginExclusiveTransaction() {
    bool ok = executeUpdate("begin exclusive transaction");
    if (ok) _isInTransaction = true;
    return ok;
}

bool SqlDatabase::beginDeferredTransaction() {
    bool ok = executeUpdate("begin deferred transaction");
    if (ok) _isInTransaction = true;
    return ok;
}

bool SqlDatabase::beginImmediateTransaction() {
    bool ok = executeUpdate("begin immediate transaction");
    if (ok) _isInTransaction = true;
    return ok;
}

bool SqlDatabase::commit() {
    bool ok = executeUpdate("commit transaction");
    if (ok) _isInTransaction = false;
    return ok;
}

bool SqlDatabase::rollback() {
    bool ok = executeUpdate("rollback transaction");
    if (ok) _isInTransaction = false;
    return ok;
}

// ----------------------------------------------------------- library facts

std::string SqlDatabase::SqlLayerUserVersion() { return "1.4.2"; }

std::uint32_t SqlDatabase::SqlLayerVersion() {
    static const std::uint32_t version = [] {
        std::string v = SqlLayerUserVersion();
        int parts = 1;
        for (char c : v) parts += c == '.';
        if (parts < 3) v += ".0";
        std::string digits;
        for (char c : v)
            if (c != '.') digits.push_back(c);
        return static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
    }();
    return version;
}

std::string SqlDatabase::sqliteLibVersion() { return sqlite3_libversion(); }

bool SqlDatabase::isSQLiteThreadSafe() { return sqlite3_threadsafe() != 0; }

// ----------------------------------------------------------------- binding

void SqlDatabase::bindObject(const SqlValue& value, int idx, sqlite3_stmt* pStmt, bool valueOutlivesStep) {
    const auto lifetime = valueOutlivesStep ? SQLITE_STATIC : SQLITE_TRANSIENT;
    std::visit(
        [&](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate> || std::is_same_v<T, SqlValue::Null>) {
                sqlite3_bind_null(pStmt, idx);
            } else if constexpr (std::is_same_v<T, SqlValue::Blob>) {
                // A pointer is always passed, so that an empty blob stays a blob.
                static const std::uint8_t empty = 0;
                sqlite3_bind_blob(pStmt, idx, x.empty() ? &empty : x.data(), static_cast<int>(x.size()), lifetime);
            } else if constexpr (std::is_same_v<T, SqlValue::Date>) {
                if (_dateFormat) {
                    std::string text = _dateFormat->string(x);
                    sqlite3_bind_text(pStmt, idx, text.c_str(), -1, SQLITE_TRANSIENT);
                } else {
                    sqlite3_bind_double(pStmt, idx, x.timeIntervalSince1970());
                }
            } else if constexpr (std::is_same_v<T, bool>) {
                sqlite3_bind_int(pStmt, idx, x ? 1 : 0);
            } else if constexpr (std::is_same_v<T, std::int8_t> || std::is_same_v<T, std::uint8_t> ||
                                 std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::uint16_t> ||
                                 std::is_same_v<T, std::int32_t>) {
                sqlite3_bind_int(pStmt, idx, static_cast<int>(x));
            } else if constexpr (std::is_same_v<T, std::uint32_t> || std::is_same_v<T, std::int64_t> ||
                                 std::is_same_v<T, std::uint64_t>) {
                sqlite3_bind_int64(pStmt, idx, static_cast<sqlite3_int64>(x));
            } else if constexpr (std::is_floating_point_v<T>) {
                sqlite3_bind_double(pStmt, idx, static_cast<double>(x));
            } else {
                // Text: UTF-8, up to its first zero byte.
                sqlite3_bind_text(pStmt, idx, x.c_str(), -1, lifetime);
            }
        },
        value.storage());
}

namespace {

// Binds an array by position or a map by ":name"; answers how many values
// were bound. Index-0 texts of the map are handed to `unknownKey`.
int bindValues(SqlDatabase& db, sqlite3_stmt* pStmt, int queryCount, const SqlDatabase::Values* array,
               const SqlDatabase::ParameterMap* map, const std::function<void(const std::string&)>& unknownKey,
               bool valuesOutliveStep = false) {
    int idx = 0;
    if (map) {
        for (const auto& [key, value] : *map) {
            std::string parameterName = ":" + key;
            if (db.traceExecution()) SqlLog::write(parameterName + " = " + value.description());
            int namedIdx = sqlite3_bind_parameter_index(pStmt, parameterName.c_str());
            if (namedIdx > 0) {
                db.bindObject(value, namedIdx, pStmt, valuesOutliveStep);
                ++idx;
            } else {
                unknownKey("Could not find index for " + key);
            }
        }
    } else if (array) {
        while (idx < queryCount && idx < static_cast<int>(array->size())) {
            const SqlValue& value = (*array)[static_cast<std::size_t>(idx)];
            if (db.traceExecution()) {
                if (const auto* blob = value.blob())
                    SqlLog::write("data: " + std::to_string(blob->size()) + " bytes");
                else
                    SqlLog::write("obj: " + value.description());
            }
            ++idx;
            db.bindObject(value, idx, pStmt, valuesOutliveStep);
        }
    }
    return idx;
}

}  // namespace

// ------------------------------------------------------------------ queries

std::shared_ptr<SqlResultSet> SqlDatabase::executeQuery(const std::string& sql, const Values& values,
                                                        ErrorOut error) {
    auto rs = executeQueryCore(sql, &values, nullptr);
    if (!rs && error) *error = lastError();
    return rs;
}

std::shared_ptr<SqlResultSet> SqlDatabase::executeQueryWithArgumentsInArray(const std::string& sql,
                                                                            const Values& values) {
    return executeQueryCore(sql, &values, nullptr);
}

std::shared_ptr<SqlResultSet> SqlDatabase::executeQueryWithVAList(const std::string& sql, const Values& values) {
    return executeQueryCore(sql, &values, nullptr);
}

std::shared_ptr<SqlResultSet> SqlDatabase::executeQueryWithParameterDictionary(const std::string& sql,
                                                                               const ParameterMap& parameters) {
    return executeQueryCore(sql, nullptr, &parameters);
}

std::shared_ptr<SqlResultSet> SqlDatabase::executeQueryWithFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string sql;
    Values arguments;
    extractSQL(format, args, sql, arguments);
    va_end(args);
    return executeQueryWithArgumentsInArray(sql, arguments);
}

std::shared_ptr<SqlResultSet> SqlDatabase::executeQueryCore(const std::string& sql, const Values* array,
                                                            const ParameterMap* map) {
    if (!databaseExists()) return nullptr;
    if (_isExecutingStatement) {
        warnInUse();
        return nullptr;
    }
    _isExecutingStatement = true;
    clearOwnError();

    if (_traceExecution) SqlLog::write(description() + " executeQuery: " + sql);

    std::shared_ptr<SqlStatement> statement;
    sqlite3_stmt* pStmt = nullptr;
    if (_shouldCacheStatements) {
        statement = cachedStatementForQuery(sql);
        if (statement) {
            pStmt = statement->statement();
            statement->reset();
        }
    }

    if (!pStmt) {
        int rc = sqlite3_prepare_v2(_db, sql.c_str(), -1, &pStmt, nullptr);
        if (rc != SQLITE_OK) {
            if (_logsErrors) {
                SqlLog::write("DB Error: " + std::to_string(lastErrorCode()) + " \"" + lastErrorMessage() + "\"");
                SqlLog::write("DB Query: " + sql);
                SqlLog::write("DB Path: " + _databasePath.value_or("(null)"));
            }
            sqlite3_finalize(pStmt);
            _isExecutingStatement = false;
            return nullptr;
        }
    }

    int queryCount = sqlite3_bind_parameter_count(pStmt);
    int bound = bindValues(*this, pStmt, queryCount, array, map,
                           [](const std::string& text) { SqlLog::write(text); });
    if (bound != queryCount) {
        const char* text = "Error: the bind count is not correct for the # of variables (executeQuery)";
        SqlLog::write(text);
        setOwnError(SQLITE_RANGE, text);
        if (statement) {
            // Finalised through its object and out of the cache, so that it
            // is never handed out again.
            statement->close();
            if (_cachedStatements) {
                auto it = _cachedStatements->find(sql);
                if (it != _cachedStatements->end()) {
                    it->second.erase(statement);
                    if (it->second.empty()) _cachedStatements->erase(it);
                }
            }
        } else {
            sqlite3_finalize(pStmt);
        }
        _isExecutingStatement = false;
        return nullptr;
    }

    if (!statement) {
        statement = std::make_shared<SqlStatement>(pStmt);
        // Blank text prepares to no statement: nothing worth keeping.
        if (_shouldCacheStatements && pStmt) setCachedStatement(statement, sql);
    }

    auto rs = SqlResultSet::resultSetWithStatement(statement, this);
    rs->setQuery(sql);
    _openResultSets.insert(rs.get());
    statement->setUseCount(statement->useCount() + 1);
    _isExecutingStatement = false;
    return rs;
}

// ------------------------------------------------------------------ updates

bool SqlDatabase::executeUpdate(const std::string& sql, const Values& values, ErrorOut error) {
    return executeUpdateCore(sql, error, &values, nullptr);
}

bool SqlDatabase::executeUpdateWithArgumentsInArray(const std::string& sql, const Values& values) {
    return executeUpdateCore(sql, nullptr, &values, nullptr);
}

bool SqlDatabase::executeUpdateWithVAList(const std::string& sql, const Values& values) {
    return executeUpdateCore(sql, nullptr, &values, nullptr);
}

bool SqlDatabase::executeUpdateWithParameterDictionary(const std::string& sql, const ParameterMap& parameters) {
    return executeUpdateCore(sql, nullptr, nullptr, &parameters);
}

bool SqlDatabase::executeUpdateWithErrorAndBindings(const std::string& sql, ErrorOut error, const Values& values) {
    return executeUpdateCore(sql, error, &values, nullptr);
}

bool SqlDatabase::update(const std::string& sql, ErrorOut error, const Values& values) {
    return executeUpdateCore(sql, error, &values, nullptr);
}

bool SqlDatabase::executeUpdateWithFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string sql;
    Values arguments;
    extractSQL(format, args, sql, arguments);
    va_end(args);
    return executeUpdateWithArgumentsInArray(sql, arguments);
}

bool SqlDatabase::executeUpdateCore(const std::string& sql, ErrorOut error, const Values* array,
                                    const ParameterMap* map) {
    if (!databaseExists()) {
        if (error) *error = lastError();
        return false;
    }
    if (_isExecutingStatement) {
        warnInUse();
        if (error) *error = lastError();
        return false;
    }
    _isExecutingStatement = true;
    clearOwnError();

    if (_traceExecution) SqlLog::write(description() + " executeUpdate: " + sql);

    std::shared_ptr<SqlStatement> cachedStmt;
    sqlite3_stmt* pStmt = nullptr;
    if (_shouldCacheStatements) {
        cachedStmt = cachedStatementForQuery(sql);
        if (cachedStmt) {
            pStmt = cachedStmt->statement();
            cachedStmt->reset();
        }
    }

    if (!pStmt) {
        int rc = sqlite3_prepare_v2(_db, sql.c_str(), -1, &pStmt, nullptr);
        if (rc != SQLITE_OK) {
            if (_logsErrors) {
                SqlLog::write("DB Error: " + std::to_string(lastErrorCode()) + " \"" + lastErrorMessage() + "\"");
                SqlLog::write("DB Query: " + sql);
                SqlLog::write("DB Path: " + _databasePath.value_or("(null)"));
            }
            if (error) *error = errorWithMessage(lastErrorMessage());
            sqlite3_finalize(pStmt);
            _isExecutingStatement = false;
            return false;
        }
    }

    int queryCount = sqlite3_bind_parameter_count(pStmt);
    // The values live until this call returns, and the statement runs to its
    // end within it: texts are bound without a copy.
    int bound = bindValues(
        *this, pStmt, queryCount, array, map,
        [&](const std::string& text) {
            if (_logsErrors) SqlLog::write(text);
            if (error) *error = errorWithMessage(text);
        },
        true);
    if (bound != queryCount) {
        std::string text = "Error: the bind count (" + std::to_string(bound) +
                           ") is not correct for the # of variables in the query (" + std::to_string(queryCount) +
                           ") (" + sql + ") (executeUpdate)";
        if (_logsErrors) SqlLog::write(text);
        setOwnError(SQLITE_RANGE, text);
        if (error) *error = errorWithMessage(text);
        if (cachedStmt) {
            cachedStmt->close();
            if (_cachedStatements) {
                auto it = _cachedStatements->find(sql);
                if (it != _cachedStatements->end()) {
                    it->second.erase(cachedStmt);
                    if (it->second.empty()) _cachedStatements->erase(it);
                }
            }
        } else {
            sqlite3_finalize(pStmt);
        }
        _isExecutingStatement = false;
        return false;
    }

    int rc = sqlite3_step(pStmt);
    if (rc == SQLITE_DONE) {
        // all good
    } else if (rc == SQLITE_INTERRUPT) {
        if (_logsErrors) {
            SqlLog::write(stepLine("Error calling sqlite3_step. Query was interrupted", rc, sqlite3_errmsg(_db),
                                   "SQLITE_INTERRUPT"));
            SqlLog::write("DB Query: " + sql);
        }
    } else if (rc == SQLITE_ROW) {
        std::string text = "A executeUpdate is being called with a query string '" + sql + "'";
        if (_logsErrors) {
            SqlLog::write(text);
            SqlLog::write("DB Query: " + sql);
        }
        setOwnError(SQLITE_MISUSE, text);
        if (error) *error = errorWithMessage(text);
    } else {
        if (error) *error = errorWithMessage(sqlite3_errmsg(_db));
        if (_logsErrors) {
            if (rc == SQLITE_ERROR)
                SqlLog::write(stepLine("Error calling sqlite3_step", rc, sqlite3_errmsg(_db), "SQLITE_ERROR"));
            else if (rc == SQLITE_MISUSE)
                SqlLog::write(stepLine("Error calling sqlite3_step", rc, sqlite3_errmsg(_db), "SQLITE_MISUSE"));
            else
                SqlLog::write(stepLine("Unknown error calling sqlite3_step", rc, sqlite3_errmsg(_db), "eu"));
            SqlLog::write("DB Query: " + sql);
        }
    }

    if (_shouldCacheStatements && !cachedStmt && pStmt) {
        cachedStmt = std::make_shared<SqlStatement>(pStmt);
        setCachedStatement(cachedStmt, sql);
    }

    int closeRc;
    if (cachedStmt) {
        cachedStmt->setUseCount(cachedStmt->useCount() + 1);
        closeRc = sqlite3_reset(pStmt);
    } else {
        closeRc = sqlite3_finalize(pStmt);
    }
    if (closeRc != SQLITE_OK && _logsErrors) {
        SqlLog::write("Unknown error finalizing or resetting statement (" + std::to_string(closeRc) + ": " +
                      sqlite3_errmsg(_db) + ")");
        SqlLog::write("DB Query: " + sql);
    }

    _isExecutingStatement = false;
    return rc == SQLITE_DONE || rc == SQLITE_OK;
}

// ------------------------------------------------------------------- batch

namespace {

int batchCallback(void* context, int columns, char** values, char** names) {
    auto* block = static_cast<const SqlDatabase::BatchCallback*>(context);
    SqlDatabase::BatchRow row;
    for (int i = 0; i < columns; ++i) {
        std::optional<std::string> value;
        if (values[i] && platform::TextEncoding::isValidUtf8(values[i])) value = values[i];
        row[names[i] ? names[i] : ""] = value;
    }
    return (*block)(row);
}

}  // namespace

bool SqlDatabase::executeStatements(const std::string& sql) { return executeStatements(sql, nullptr); }

bool SqlDatabase::executeStatements(const std::string& sql, const BatchCallback& block) {
    clearOwnError();
    if (!requireHandle()) return false;
    char* errmsg = nullptr;
    int rc = sqlite3_exec(_db, sql.c_str(), block ? &batchCallback : nullptr,
                          block ? const_cast<BatchCallback*>(&block) : nullptr, &errmsg);
    if (errmsg) {
        if (_logsErrors) SqlLog::write(std::string("Error inserting batch: ") + errmsg);
        sqlite3_free(errmsg);
    }
    return rc == SQLITE_OK;
}

// ------------------------------------------------------- format extraction

void SqlDatabase::extractSQL(const char* format, va_list args, std::string& cleanedSQL, Values& arguments) {
    std::size_t length = std::strlen(format);
    char last = '\0';
    for (std::size_t i = 0; i < length; ++i) {
        char current = format[i];
        bool add = true;
        bool consumedArgument = false;
        if (last == '%') {
            switch (current) {
                case '@': {
                    const SqlValue* object = va_arg(args, const SqlValue*);
                    if (!object) {
                        cleanedSQL += "NULL";
                        add = false;
                        consumedArgument = true;
                        break;
                    }
                    arguments.push_back(*object);
                    consumedArgument = true;
                    break;
                }
                case 'c':
                    arguments.push_back(std::string(1, static_cast<char>(va_arg(args, int))));
                    consumedArgument = true;
                    break;
                case 's': {
                    const char* s = va_arg(args, const char*);
                    arguments.push_back(s ? SqlValue(std::string(s)) : SqlValue());
                    consumedArgument = true;
                    break;
                }
                case 'd':
                case 'D':
                case 'i':
                    arguments.push_back(static_cast<std::int32_t>(va_arg(args, int)));
                    consumedArgument = true;
                    break;
                case 'u':
                case 'U':
                    arguments.push_back(static_cast<std::uint32_t>(va_arg(args, unsigned int)));
                    consumedArgument = true;
                    break;
                case 'h':
                    if (i + 1 < length && format[i + 1] == 'i') {
                        arguments.push_back(static_cast<std::int16_t>(va_arg(args, int)));
                        consumedArgument = true;
                        ++i;
                    } else if (i + 1 < length && format[i + 1] == 'u') {
                        arguments.push_back(static_cast<std::uint16_t>(va_arg(args, int)));
                        consumedArgument = true;
                        ++i;
                    }
                    break;
                case 'q':
                    if (i + 1 < length && format[i + 1] == 'i') {
                        arguments.push_back(static_cast<std::int64_t>(va_arg(args, long long)));
                        consumedArgument = true;
                        ++i;
                    } else if (i + 1 < length && format[i + 1] == 'u') {
                        arguments.push_back(static_cast<std::uint64_t>(va_arg(args, unsigned long long)));
                        consumedArgument = true;
                        ++i;
                    }
                    break;
                case 'f':
                    arguments.push_back(va_arg(args, double));
                    consumedArgument = true;
                    break;
                case 'g':
                    arguments.push_back(static_cast<float>(va_arg(args, double)));
                    consumedArgument = true;
                    break;
                case 'l':
                    if (i + 2 < length && format[i + 1] == 'l' && format[i + 2] == 'd') {
                        arguments.push_back(static_cast<std::int64_t>(va_arg(args, long long)));
                        consumedArgument = true;
                        i += 2;
                    } else if (i + 2 < length && format[i + 1] == 'l' && format[i + 2] == 'u') {
                        arguments.push_back(static_cast<std::uint64_t>(va_arg(args, unsigned long long)));
                        consumedArgument = true;
                        i += 2;
                    } else if (i + 1 < length && format[i + 1] == 'd') {
                        arguments.push_back(static_cast<std::int64_t>(va_arg(args, long)));
                        consumedArgument = true;
                        i += 1;
                    } else if (i + 1 < length && format[i + 1] == 'u') {
                        arguments.push_back(static_cast<std::uint64_t>(va_arg(args, unsigned long)));
                        consumedArgument = true;
                        i += 1;
                    }
                    break;
                default:
                    break;
            }
        } else if (current == '%') {
            // The conversion is decided by the next character.
            add = false;
        }

        if (consumedArgument) {
            if (add) cleanedSQL += "?";
        } else if (add) {
            cleanedSQL.push_back(current);
        }
        last = current;
    }
}

// ----------------------------------------------------------- statement cache

void SqlDatabase::setShouldCacheStatements(bool value) {
    _shouldCacheStatements = value;
    if (_shouldCacheStatements && !_cachedStatements) _cachedStatements.emplace();
    if (!_shouldCacheStatements) _cachedStatements.reset();
}

std::shared_ptr<SqlStatement> SqlDatabase::cachedStatementForQuery(const std::string& query) {
    if (!_cachedStatements) return nullptr;
    auto it = _cachedStatements->find(query);
    if (it == _cachedStatements->end()) return nullptr;
    for (const auto& statement : it->second)
        if (!statement->inUse() && statement->statement()) return statement;
    return nullptr;
}

void SqlDatabase::setCachedStatement(const std::shared_ptr<SqlStatement>& statement,
                                     const std::optional<std::string>& query) {
    if (!query) {
        SqlLog::write("API misuse, -[SqlDatabase setCachedStatement:forQuery:] query must not be nil");
        return;
    }
    statement->setQuery(*query);
    if (!_cachedStatements) _cachedStatements.emplace();
    (*_cachedStatements)[*query].insert(statement);
}

void SqlDatabase::clearCachedStatements() {
    if (!_cachedStatements) return;
    // A statement that an open cursor is still reading is only dropped here:
    // finalising it under the cursor would leave the cursor on a dead handle.
    // It is finalised when the cursor lets go of it.
    for (auto& [query, statements] : *_cachedStatements)
        for (const auto& statement : statements)
            if (!statement->inUse()) statement->close();
    _cachedStatements->clear();
}
