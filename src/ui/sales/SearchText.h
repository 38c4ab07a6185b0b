#pragma once

#include <memory>
#include <string>
#include <vector>

class TovarItem;

// The search of the list screens: a row is kept when one of its keys,
// lower-cased, holds the lower-cased search text as a contiguous substring.
// Lower-casing is the locale-independent Unicode mapping, and both sides are
// brought to one canonical form, so that canonically equivalent spellings
// match while diacritic marks still count.
class SearchText {
public:
    // The text lower-cased and composed (the form both sides are compared in).
    static std::string fold(const std::string& text);

    // Whether one of the folded keys holds the folded needle (tested in
    // order, stopping at the first hit). An empty needle matches every row.
    static bool matches(const std::vector<std::string>& foldedKeys, const std::string& foldedNeedle);

    // The goods, in order, whose number or name holds `text`; all of them
    // when the text is empty.
    static std::vector<std::shared_ptr<TovarItem>> tovar(const std::vector<std::shared_ptr<TovarItem>>& data,
                                                         const std::string& text);
};
