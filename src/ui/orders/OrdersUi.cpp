#include "ui/orders/OrdersUi.h"

#include "ui/sales/SearchText.h"

const std::string& OrdersUi::hodnota(const RowDictionary& row, const std::string& key) {
    static const std::string empty;
    const auto it = row.find(key);
    return it == row.end() ? empty : it->second;
}

std::vector<RowDictionary> OrdersUi::filter(const std::vector<RowDictionary>& data,
                                            const std::vector<std::string>& keys, const std::string& text) {
    if (text.empty()) return data;
    const std::string needle = SearchText::fold(text);
    std::vector<RowDictionary> kept;
    for (const auto& row : data) {
        for (const auto& key : keys) {
            const auto it = row.find(key);
            if (it == row.end()) continue;
            if (SearchText::fold(it->second).find(needle) != std::string::npos) {
                kept.push_back(row);
                break;
            }
        }
    }
    return kept;
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
