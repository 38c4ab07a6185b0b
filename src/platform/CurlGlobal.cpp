#include "platform/CurlGlobal.h"

#include <curl/curl.h>
#include <mutex>

namespace platform {

void CurlGlobal::ensureInitialised() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace platform
