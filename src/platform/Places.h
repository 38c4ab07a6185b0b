#pragma once

#include <optional>
#include <string>

#include "platform/Url.h"

namespace platform {

// Where the program keeps its files.
//  - Documents: the writable folder of the user's data; by default
//    $XDG_DATA_HOME/trekora/Documents (or ~/.local/share/trekora/Documents),
//    created on first use. Tests and the program may set another one.
//  - Resources: the read-only files that ship beside the program; by default
//    "resources/" beside the executable when present, else the build's
//    resources folder.
class Places {
public:
    static std::string documentsDirectory();
    static Url documentsUrl();
    static void setDocumentsDirectory(const std::string& path);  // "" restores the default

    static std::string resourcesDirectory();
    static void setResourcesDirectory(const std::string& path);  // "" restores the default

    // Path of a resource when it exists: by whole name ("trekora.db3") or
    // by name and extension ("zvuk2", "mp3").
    static std::optional<std::string> resourcePath(const std::string& name);
    static std::optional<std::string> resourcePath(const std::string& name,
                                                   const std::string& extension);

    static std::string defaultDocumentsDirectory();
    static std::string defaultResourcesDirectory();
};

}  // namespace platform
