#include "db/SqlStatement.h"

#include <sqlite3.h>

#include <cstdio>

SqlStatement::~SqlStatement() { close(); }

void SqlStatement::close() {
    if (_statement) {
        sqlite3_finalize(_statement);
        _statement = nullptr;
    }
    _inUse = false;
}

void SqlStatement::reset() {
    if (_statement) sqlite3_reset(_statement);
    _inUse = false;
}

std::string SqlStatement::description() const {
    char base[64];
    std::snprintf(base, sizeof base, "<SqlStatement: %p>", static_cast<const void*>(this));
    return std::string(base) + " " + std::to_string(_useCount) + " hit(s) for query " + _query;
}
