#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Trekora.h"
#include "platform/ui/IndexPath.h"
#include "ui/orders/QueryRows.h"

// What the document, order and stock lists share: reading a key of a row
// dictionary, the search over a row's keys, the printed form of a row, and a
// cell label taken from a custom cell.
class OrdersUi {
public:
    // The value of `key`, or the empty text when the row has no such key.
    static const std::string& hodnota(const RowDictionary& row, const std::string& key);

    // The rows of `data`, in order, in which one of `keys` (tried in order; a
    // missing key is no hit), lower-cased, holds the lower-cased `text`. An
    // empty text keeps every row.
    static std::vector<RowDictionary> filter(const std::vector<RowDictionary>& data,
                                             const std::vector<std::string>& keys, const std::string& text);
    static QueryRows filter(const QueryRows& data, const std::vector<std::string>& keys, const std::string& text);

    // Whether `indexPath` names one of `count` rows.
    static bool jeRiadok(const platform::IndexPath& indexPath, std::size_t count);

    // The printed form of a row for the console trace: [KEY: value, ...].
    static std::string popis(const RowDictionary& row);

    // "<caption>: <shown> / <all>".
    static std::string nadpis(const std::string& caption, std::size_t shown, std::size_t all);
};
