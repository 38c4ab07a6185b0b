#pragma once

#include <map>
#include <string>

// One result row as the readers hand it to the records: upper-cased column
// name -> the column's text (a NULL value is the empty text).
using RowDictionary = std::map<std::string, std::string>;
