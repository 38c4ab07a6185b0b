#pragma once

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "db/SqlError.h"
#include "db/SqlValue.h"

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_context;
struct sqlite3_value;

class SqlResultSet;
class SqlStatement;
namespace platform {
class DateFormatter;
class Url;
}  // namespace platform

// One connection to one SQLite database file.
//
// Held by std::shared_ptr: a result set keeps its connection alive until it
// is closed. A connection is used by one thread at a time; share it between
// threads through SqlDatabaseQueue or SqlDatabasePool.
//
// Failures never end the process: they come back as an absent result or
// false, with lines in the diagnostic log (SqlLog) and lastError /
// lastErrorMessage describing them.
class SqlDatabase : public std::enable_shared_from_this<SqlDatabase> {
public:
    using Values = std::vector<SqlValue>;
    using ParameterMap = std::map<std::string, SqlValue>;
    using ErrorOut = std::optional<SqlError>*;
    // Row of the batch runner: column name -> value text, nullopt for the
    // null marker (SQL NULL or text that is not UTF-8).
    using BatchRow = std::map<std::string, std::optional<std::string>>;
    using BatchCallback = std::function<int(const BatchRow&)>;
    using StatementCache = std::map<std::string, std::set<std::shared_ptr<SqlStatement>>>;
    using FunctionCallback = std::function<void(sqlite3_context*, int, sqlite3_value**)>;

    // --- creation -------------------------------------------------------
    SqlDatabase();                                            // in-memory
    explicit SqlDatabase(std::optional<std::string> path);    // initWithPath:
    virtual ~SqlDatabase();
    SqlDatabase(const SqlDatabase&) = delete;
    SqlDatabase& operator=(const SqlDatabase&) = delete;

    static std::shared_ptr<SqlDatabase> databaseWithPath(std::optional<std::string> path);
    // A file URL ("file:///dir/name.db3", percent-encoded); its path is used.
    // A text without the "file:" scheme is taken as a path.
    static std::shared_ptr<SqlDatabase> databaseWithURL(std::optional<std::string> fileURL);
    static std::shared_ptr<SqlDatabase> databaseWithURL(const platform::Url& fileURL);
    static std::optional<std::string> pathFromFileURL(const std::optional<std::string>& fileURL);

    // --- opening and closing -------------------------------------------
    bool open();
    bool openWithFlags(int flags);
    bool openWithFlags(int flags, const std::optional<std::string>& vfsName);
    bool close();
    bool goodConnection();
    bool interrupt();

    // --- accessors ------------------------------------------------------
    sqlite3* sqliteHandle() const { return _db; }
    const std::optional<std::string>& databasePath() const { return _databasePath; }
    std::optional<std::string> databaseURL() const;
    std::string sqlitePath() const;
    std::string description() const;

    bool traceExecution() const { return _traceExecution; }
    void setTraceExecution(bool v) { _traceExecution = v; }
    bool checkedOut() const { return _checkedOut; }
    void setCheckedOut(bool v) { _checkedOut = v; }
    bool crashOnErrors() const { return _crashOnErrors; }
    void setCrashOnErrors(bool v) { _crashOnErrors = v; }
    bool logsErrors() const { return _logsErrors; }
    void setLogsErrors(bool v) { _logsErrors = v; }
    bool isOpen() const { return _isOpen; }
    void setIsOpen(bool v) { _isOpen = v; }
    bool inTransaction() const { return _isInTransaction; }
    bool isInTransaction() const { return _isInTransaction; }
    double maxBusyRetryTimeInterval() const { return _maxBusyRetryTimeInterval; }
    void setMaxBusyRetryTimeInterval(double seconds);

    bool hasOpenResultSets() const { return !_openResultSets.empty(); }
    void closeOpenResultSets();
    void resultSetDidClose(SqlResultSet* resultSet);

    // Retired: log and do nothing.
    int busyRetryTimeout();
    void setBusyRetryTimeout(int timeout);

    // --- errors of the last statement -----------------------------------
    int lastErrorCode() const;
    int lastExtendedErrorCode() const;
    std::string lastErrorMessage() const;
    bool hadError() const;
    SqlError errorWithMessage(const std::string& message) const;
    SqlError lastError() const;

    // --- row bookkeeping ------------------------------------------------
    std::int64_t lastInsertRowId();
    int changes();

    // --- transactions ---------------------------------------------------
    bool beginTransaction();             // exclusive
    bool beginExclusiveTransaction();
    bool beginDeferredTransaction();
    bool beginImmediateTransaction();
    bool commit();
    bool rollback();

    // --- library facts --------------------------------------------------
    static std::string SqlLayerUserVersion();
    static std::uint32_t SqlLayerVersion();
    static std::string sqliteLibVersion();
    static bool isSQLiteThreadSafe();

    // --- queries (a new result set before its first row, or nullptr) ------
    // executeQuery: / executeQuery:values:error: — values bound by position;
    // a named parameter takes the position of its first appearance.
    std::shared_ptr<SqlResultSet> executeQuery(const std::string& sql, const Values& values = {},
                                               ErrorOut error = nullptr);
    std::shared_ptr<SqlResultSet> executeQueryWithArgumentsInArray(const std::string& sql,
                                                                   const Values& values);
    std::shared_ptr<SqlResultSet> executeQueryWithVAList(const std::string& sql, const Values& values);
    std::shared_ptr<SqlResultSet> executeQueryWithParameterDictionary(const std::string& sql,
                                                                      const ParameterMap& parameters);
    // Format with conversions ("%@" takes a const SqlValue*, "%s" a
    // const char*, "%d" an int, ...) turned into "?" parameters.
    std::shared_ptr<SqlResultSet> executeQueryWithFormat(const char* format, ...);
    // The query core: array or map (or neither).
    std::shared_ptr<SqlResultSet> executeQueryCore(const std::string& sql, const Values* array,
                                                   const ParameterMap* map);

    // --- updates ---------------------------------------------------------
    // executeUpdate: / executeUpdate:values:error:
    bool executeUpdate(const std::string& sql, const Values& values = {}, ErrorOut error = nullptr);
    bool executeUpdateWithArgumentsInArray(const std::string& sql, const Values& values);
    bool executeUpdateWithVAList(const std::string& sql, const Values& values);
    bool executeUpdateWithParameterDictionary(const std::string& sql, const ParameterMap& parameters);
    bool executeUpdateWithErrorAndBindings(const std::string& sql, ErrorOut error, const Values& values);
    bool update(const std::string& sql, ErrorOut error, const Values& values);
    bool executeUpdateWithFormat(const char* format, ...);
    // The update core.
    bool executeUpdateCore(const std::string& sql, ErrorOut error, const Values* array,
                           const ParameterMap* map);

    // Binds one value by its kind at a 1-based parameter index. A text or
    // blob is copied, unless `valueOutlivesStep` says the value stays alive
    // until the statement has been stepped (the bound pointer is never read
    // after that: a statement is bound anew before it runs again).
    void bindObject(const SqlValue& value, int index, sqlite3_stmt* statement, bool valueOutlivesStep = false);

    // Runs one or more statements with sqlite3_exec.
    bool executeStatements(const std::string& sql);
    bool executeStatements(const std::string& sql, const BatchCallback& block);

    // Turns a format with conversions into a statement with "?" parameters.
    static void extractSQL(const char* format, va_list args, std::string& sql, Values& arguments);

    // --- statement cache --------------------------------------------------
    bool shouldCacheStatements() const { return _shouldCacheStatements; }
    void setShouldCacheStatements(bool value);
    const std::optional<StatementCache>& cachedStatements() const { return _cachedStatements; }
    void setCachedStatements(std::optional<StatementCache> cache) { _cachedStatements = std::move(cache); }
    std::shared_ptr<SqlStatement> cachedStatementForQuery(const std::string& query);
    void setCachedStatement(const std::shared_ptr<SqlStatement>& statement,
                            const std::optional<std::string>& query);
    void clearCachedStatements();

    // --- savepoints ---------------------------------------------------------
    bool startSavePointWithName(const std::string& name, ErrorOut error = nullptr);
    bool releaseSavePointWithName(const std::string& name, ErrorOut error = nullptr);
    bool rollbackToSavePointWithName(const std::string& name, ErrorOut error = nullptr);
    // Runs the callback inside a fresh savepoint; setting the flag rolls the
    // work back. Answers the error of the last failing step.
    std::optional<SqlError> inSavePoint(const std::function<void(bool& rollback)>& block);

    // --- checkpoints --------------------------------------------------------
    bool checkpoint(int mode, ErrorOut error = nullptr);
    bool checkpoint(int mode, const std::optional<std::string>& name, ErrorOut error = nullptr);
    bool checkpoint(int mode, const std::optional<std::string>& name, int* logFrameCount,
                    int* checkpointCount, ErrorOut error = nullptr);

    // --- custom SQL functions -------------------------------------------------
    void makeFunctionNamed(const std::string& name, int arguments, FunctionCallback block);
    void makeFunctionNamedMaximumArguments(const std::string& name, int arguments, FunctionCallback block);
    static int valueType(sqlite3_value* value);
    static int valueInt(sqlite3_value* value);
    static std::int64_t valueLong(sqlite3_value* value);
    static double valueDouble(sqlite3_value* value);
    static std::optional<SqlValue::Blob> valueData(sqlite3_value* value);
    static std::optional<std::string> valueString(sqlite3_value* value);
    static void resultNullInContext(sqlite3_context* context);
    static void resultInt(int value, sqlite3_context* context);
    static void resultLong(std::int64_t value, sqlite3_context* context);
    static void resultDouble(double value, sqlite3_context* context);
    static void resultData(const SqlValue::Blob& data, sqlite3_context* context);
    static void resultString(const std::string& value, sqlite3_context* context);
    static void resultError(const std::string& message, sqlite3_context* context);
    static void resultErrorCode(int code, sqlite3_context* context);
    static void resultErrorNoMemoryInContext(sqlite3_context* context);
    static void resultErrorTooBigInContext(sqlite3_context* context);

    // --- date formats ---------------------------------------------------------
    static std::shared_ptr<platform::DateFormatter> storeableDateFormat(const std::string& format);
    void setDateFormat(std::shared_ptr<platform::DateFormatter> format) { _dateFormat = std::move(format); }
    bool hasDateFormatter() const { return _dateFormat != nullptr; }
    std::optional<SqlValue::Date> dateFromString(const std::string& text) const;
    std::optional<std::string> stringFromDate(const SqlValue::Date& date) const;

    // --- encryption keys (not supported: always false) ------------------------
    bool setKey(const std::string& key);
    bool rekey(const std::string& key);
    bool setKeyWithData(const void* data, int length);
    bool rekeyWithData(const void* data, int length);

    // --- convenience queries (column 0 of the first row) ----------------------
    std::optional<std::string> stringForQuery(const std::string& sql, const Values& values = {});
    int intForQuery(const std::string& sql, const Values& values = {});
    long longForQuery(const std::string& sql, const Values& values = {});
    bool boolForQuery(const std::string& sql, const Values& values = {});
    double doubleForQuery(const std::string& sql, const Values& values = {});
    std::optional<SqlValue::Blob> dataForQuery(const std::string& sql, const Values& values = {});
    std::optional<SqlValue::Date> dateForQuery(const std::string& sql, const Values& values = {});

    // --- schema inspection ----------------------------------------------------
    bool tableExists(const std::string& tableName);
    std::shared_ptr<SqlResultSet> getSchema();
    std::shared_ptr<SqlResultSet> getTableSchema(const std::string& tableName);
    bool columnExists(const std::string& columnName, const std::string& tableName);  // columnExists:inTableWithName:
    bool columnExistsInTable(const std::string& tableName, const std::string& columnName);  // columnExists:columnName:
    std::uint32_t applicationID();
    void setApplicationID(std::uint32_t appID);
    std::uint32_t userVersion();
    void setUserVersion(std::uint32_t version);
    // Prepares the text and finalises it at once; nothing is run.
    bool validateSQL(const std::string& sql, ErrorOut error = nullptr);

    // The date formatter consulted by binding and by the date getters.
    const std::shared_ptr<platform::DateFormatter>& dateFormat() const { return _dateFormat; }

private:
    friend class SqlResultSet;

    bool databaseExists();                 // the open check
    bool requireHandle();                  // a handle to hand to SQLite, else the not-open failure
    void warnInUse();
    void setOwnError(int code, std::string message);
    void clearOwnError() { _ownError.reset(); }
    static int busyHandler(void* context, int count);
    std::shared_ptr<SqlResultSet> queryFirstRow(const std::string& sql, const Values& values);

    sqlite3* _db = nullptr;
    // Held while the handle is opened or closed, and by interrupt(), which
    // may come from another thread than the connection's user.
    std::mutex _handleMutex;
    bool _isExecutingStatement = false;
    double _startBusyRetryTime = 0;
    std::set<SqlResultSet*> _openResultSets;
    std::vector<std::shared_ptr<FunctionCallback>> _openFunctions;
    std::shared_ptr<platform::DateFormatter> _dateFormat;
    bool _shouldCacheStatements = false;
    bool _traceExecution = false;
    bool _checkedOut = false;
    bool _crashOnErrors = false;
    bool _logsErrors = true;
    bool _isOpen = false;
    bool _isInTransaction = false;
    double _maxBusyRetryTimeInterval = 2.0;
    std::optional<StatementCache> _cachedStatements;
    std::optional<std::string> _databasePath;
    // A failure detected by the layer itself (not open, in use, bind count,
    // rows from an update): reported by lastError until the next statement.
    std::optional<std::pair<int, std::string>> _ownError;
};
