#pragma once

#include <map>
#include <string>

namespace platform {

// String localisation of the program's default table. The Slovak text is
// its own key: without a table entry the key itself is the answer.
class Localization {
public:
    // NSLocalizedString-style lookup; `comment` is for translators only.
    static std::string localizedString(const std::string& key, const std::string& comment = {});

    // Installs a table (key -> translated text); an empty table restores identity.
    static void setTable(std::map<std::string, std::string> table);
};

}  // namespace platform
