#include "ui/sales/SearchText.h"

#include "records/TovarItem.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

std::string SearchText::fold(const std::string& text) {
    bool ascii = true;
    for (unsigned char c : text)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        std::string out = text;
        for (auto& c : out)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return out;
    }
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    unicode.toLower(icu::Locale::getRoot());
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_SUCCESS(status) && nfc) {
        icu::UnicodeString composed = nfc->normalize(unicode, status);
        if (U_SUCCESS(status)) unicode = composed;
    }
    std::string out;
    unicode.toUTF8String(out);
    return out;
}

bool SearchText::matches(const std::vector<std::string>& foldedKeys, const std::string& foldedNeedle) {
    if (foldedNeedle.empty()) return true;
    for (const auto& key : foldedKeys)
        if (key.find(foldedNeedle) != std::string::npos) return true;
    return false;
}

std::vector<std::shared_ptr<TovarItem>> SearchText::tovar(const std::vector<std::shared_ptr<TovarItem>>& data,
                                                          const std::string& text) {
    if (text.empty()) return data;
    const std::string needle = fold(text);
    std::vector<std::shared_ptr<TovarItem>> kept;
    for (const auto& t : data)
        if (matches({fold(t->IDTOV), fold(t->NAZTOV1)}, needle)) kept.push_back(t);
    return kept;
}
