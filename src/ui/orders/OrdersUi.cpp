#include "ui/orders/OrdersUi.h"

#include <cstdint>

#include "ui/sales/SearchText.h"

const std::string& OrdersUi::hodnota(const RowDictionary& row, const std::string& key) {
    static const std::string empty;
    const auto it = row.find(key);
    return it == row.end() ? empty : it->second;
}

namespace {

// The value of a key of a row, none when the row has no such key.
const std::string* find(const RowDictionary& row, const std::string& key) {
    const auto it = row.find(key);
    return it == row.end() ? nullptr : &it->second;
}

template <class Row>
std::vector<Row> filterRows(const std::vector<Row>& data, const std::vector<std::string>& keys,
                            const std::string& text) {
    if (text.empty()) return data;
    const std::string needle = SearchText::fold(text);
    std::vector<Row> kept;
    for (const auto& row : data) {
        for (const auto& key : keys) {
            const std::string* value = find(row, key);
            if (value && SearchText::fold(*value).find(needle) != std::string::npos) {
                kept.push_back(row);
                break;
            }
        }
    }
    return kept;
}

}  // namespace

std::vector<RowDictionary> OrdersUi::filter(const std::vector<RowDictionary>& data,
                                            const std::vector<std::string>& keys, const std::string& text) {
    return filterRows(data, keys, text);
}

QueryRows OrdersUi::filter(const QueryRows& data, const std::vector<std::string>& keys, const std::string& text) {
    if (text.empty()) return data;
    const std::string needle = SearchText::fold(text);
    // The keys' columns found once; a key the list lacks is no hit.
    std::vector<std::size_t> columns;
    for (const auto& key : keys)
        if (auto column = data.column(key)) columns.push_back(*column);
    std::vector<std::uint32_t> kept;
    for (std::size_t i = 0; i < data.size(); ++i)
        for (auto column : columns)
            if (SearchText::fold(std::string(data.value(i, column))).find(needle) != std::string::npos) {
                kept.push_back(static_cast<std::uint32_t>(i));
                break;
            }
    return data.subset(kept);
}

bool OrdersUi::jeRiadok(const platform::IndexPath& indexPath, std::size_t count) {
    return indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < count;
}

std::string OrdersUi::popis(const RowDictionary& row) {
    std::string text = "[";
    bool first = true;
    for (const auto& [key, value] : row) {
        if (!first) text += ", ";
        first = false;
        text += key + ": " + value;
    }
    return text + "]";
}

std::string OrdersUi::nadpis(const std::string& caption, std::size_t shown, std::size_t all) {
    return caption + ": " + std::to_string(shown) + " / " + std::to_string(all);
}
