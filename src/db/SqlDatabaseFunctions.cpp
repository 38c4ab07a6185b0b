// SqlDatabase: savepoints, checkpoints, custom SQL functions, date formats
// and the (unsupported) encryption keys.
#include <sqlite3.h>

#include <atomic>
#include <cstring>

#include "db/SqlDatabase.h"
#include "platform/DateFormatter.h"
#include "db/SqlLog.h"
#include "db/SqlText.h"

// ---------------------------------------------------------------- savepoints

bool SqlDatabase::startSavePointWithName(const std::string& name, ErrorOut error) {
    return executeUpdate("savepoint '" + SqlText::quoteEscaped(name) + "';", {}, error);
}

bool SqlDatabase::releaseSavePointWithName(const std::string& name, ErrorOut error) {
    return executeUpdate("release savepoint '" + SqlText::quoteEscaped(name) + "';", {}, error);
}

bool SqlDatabase::rollbackToSavePointWithName(const std::string& name, ErrorOut error) {
    return executeUpdate("rollback transaction to savepoint '" + SqlText::quoteEscaped(name) + "';", {}, error);
}

std::optional<SqlError> SqlDatabase::inSavePoint(const std::function<void(bool&)>& block) {
    static std::atomic<unsigned long> savePointIdx{0};
    std::string name = "dbSavePoint" + std::to_string(savePointIdx++);

    std::optional<SqlError> err;
    if (!startSavePointWithName(name, &err)) return err;

    bool shouldRollback = false;
    if (block) block(shouldRollback);
    if (shouldRollback) {
        // The savepoint stays after a rollback to it; it is released below.
        rollbackToSavePointWithName(name, &err);
    }
    releaseSavePointWithName(name, &err);
    return err;
}

// --------------------------------------------------------------- checkpoints

bool SqlDatabase::checkpoint(int mode, ErrorOut error) { return checkpoint(mode, std::nullopt, nullptr, nullptr, error); }

bool SqlDatabase::checkpoint(int mode, const std::optional<std::string>& name, ErrorOut error) {
    return checkpoint(mode, name, nullptr, nullptr, error);
}

bool SqlDatabase::checkpoint(int mode, const std::optional<std::string>& name, int* logFrameCount,
                             int* checkpointCount, ErrorOut error) {
    clearOwnError();
    if (!requireHandle()) {
        if (error) *error = lastError();
        return false;
    }
    int rc = sqlite3_wal_checkpoint_v2(_db, name ? name->c_str() : nullptr, mode, logFrameCount, checkpointCount);
    if (rc != SQLITE_OK) {
        if (error) *error = lastError();
        if (_logsErrors) SqlLog::write(lastErrorMessage());
        return false;
    }
    return true;
}

// ------------------------------------------------------ custom SQL functions

namespace {

void functionEntry(sqlite3_context* context, int argc, sqlite3_value** argv) {
    auto* block = static_cast<SqlDatabase::FunctionCallback*>(sqlite3_user_data(context));
    if (block && *block) (*block)(context, argc, argv);
}

}  // namespace

void SqlDatabase::makeFunctionNamed(const std::string& name, int arguments, FunctionCallback block) {
    if (!requireHandle()) return;
    auto stored = std::make_shared<FunctionCallback>(std::move(block));
    _openFunctions.push_back(stored);
    sqlite3_create_function(_db, name.c_str(), arguments, SQLITE_UTF8, stored.get(), &functionEntry, nullptr,
                            nullptr);
}

void SqlDatabase::makeFunctionNamedMaximumArguments(const std::string& name, int arguments, FunctionCallback block) {
    makeFunctionNamed(name, arguments, std::move(block));
}

int SqlDatabase::valueType(sqlite3_value* value) { return sqlite3_value_type(value); }
int SqlDatabase::valueInt(sqlite3_value* value) { return sqlite3_value_int(value); }
std::int64_t SqlDatabase::valueLong(sqlite3_value* value) { return sqlite3_value_int64(value); }
double SqlDatabase::valueDouble(sqlite3_value* value) { return sqlite3_value_double(value); }

std::optional<SqlValue::Blob> SqlDatabase::valueData(sqlite3_value* value) {
    const void* bytes = sqlite3_value_blob(value);
    int n = sqlite3_value_bytes(value);
    if (!bytes) return std::nullopt;
    auto* p = static_cast<const std::uint8_t*>(bytes);
    return SqlValue::Blob(p, p + n);
}

std::optional<std::string> SqlDatabase::valueString(sqlite3_value* value) {
    const unsigned char* text = sqlite3_value_text(value);
    if (!text) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

void SqlDatabase::resultNullInContext(sqlite3_context* context) { sqlite3_result_null(context); }
void SqlDatabase::resultInt(int value, sqlite3_context* context) { sqlite3_result_int(context, value); }
void SqlDatabase::resultLong(std::int64_t value, sqlite3_context* context) { sqlite3_result_int64(context, value); }
void SqlDatabase::resultDouble(double value, sqlite3_context* context) { sqlite3_result_double(context, value); }

void SqlDatabase::resultData(const SqlValue::Blob& data, sqlite3_context* context) {
    static const std::uint8_t empty = 0;
    sqlite3_result_blob(context, data.empty() ? &empty : data.data(), static_cast<int>(data.size()),
                        SQLITE_TRANSIENT);
}

void SqlDatabase::resultString(const std::string& value, sqlite3_context* context) {
    sqlite3_result_text(context, value.c_str(), -1, SQLITE_TRANSIENT);
}

void SqlDatabase::resultError(const std::string& message, sqlite3_context* context) {
    sqlite3_result_error(context, message.c_str(), -1);
}

void SqlDatabase::resultErrorCode(int code, sqlite3_context* context) { sqlite3_result_error_code(context, code); }
void SqlDatabase::resultErrorNoMemoryInContext(sqlite3_context* context) { sqlite3_result_error_nomem(context); }
void SqlDatabase::resultErrorTooBigInContext(sqlite3_context* context) { sqlite3_result_error_toobig(context); }

// -------------------------------------------------------------- date formats

std::shared_ptr<platform::DateFormatter> SqlDatabase::storeableDateFormat(const std::string& format) {
    // Fixed: UTC and English names, whatever the device says.
    return std::make_shared<platform::DateFormatter>(format, platform::TimeZone::gmt());
}

std::optional<SqlValue::Date> SqlDatabase::dateFromString(const std::string& text) const {
    if (!_dateFormat) return std::nullopt;
    return _dateFormat->date(text);
}

std::optional<std::string> SqlDatabase::stringFromDate(const SqlValue::Date& date) const {
    if (!_dateFormat) return std::nullopt;
    return _dateFormat->string(date);
}

// ---------------------------------------------------------- encryption keys

bool SqlDatabase::setKey(const std::string& key) { return setKeyWithData(key.c_str(), static_cast<int>(std::strlen(key.c_str()))); }
bool SqlDatabase::rekey(const std::string& key) { return rekeyWithData(key.c_str(), static_cast<int>(std::strlen(key.c_str()))); }
bool SqlDatabase::setKeyWithData(const void*, int) { return false; }
bool SqlDatabase::rekeyWithData(const void*, int) { return false; }
