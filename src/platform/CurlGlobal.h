#pragma once

namespace platform {

// libcurl's process-wide set-up, done once before the first transfer.
class CurlGlobal {
public:
    static void ensureInitialised();
};

}  // namespace platform
