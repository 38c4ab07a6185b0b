#include "platform/TextReader.h"

#include <curl/curl.h>

#include "platform/CurlGlobal.h"
#include "platform/FileManager.h"
#include "platform/TextEncoding.h"
#include "platform/Url.h"

namespace platform {

namespace {

size_t collect(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

std::optional<std::string> fetchHttp(const std::string& url, std::chrono::milliseconds timeout,
                                     Error* error) {
    CurlGlobal::ensureInitialised();
    CURL* curl = curl_easy_init();
    if (!curl) {
        Error::set(error, "TextReader", -1, "The transfer could not be started.");
        return std::nullopt;
    }
    std::string body;
    char message[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
#endif
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout.count()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeout.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    if (rc != CURLE_OK) {
        std::string text = message[0] ? message : curl_easy_strerror(rc);
        Error::set(error, "TextReader", rc == CURLE_OPERATION_TIMEDOUT ? -1001 : -1,
                   rc == CURLE_OPERATION_TIMEDOUT ? "The request timed out." : text);
        return std::nullopt;
    }
    if (status >= 400) {
        Error::set(error, "TextReader", status,
                   "The server answered with status " + std::to_string(status) + ".");
        return std::nullopt;
    }
    return body;
}

}  // namespace

std::optional<std::string> TextReader::read(const std::string& address,
                                            std::chrono::milliseconds timeout, Error* error) {
    std::optional<std::string> bytes;
    if (!address.empty() && address[0] == '/') {
        bytes = FileManager::contents(address, error);
    } else {
        auto url = Url::parse(address);
        if (!url) {
            Error::set(error, "TextReader", -1000, "The address \"" + address + "\" is not valid.");
            return std::nullopt;
        }
        if (url->isFileUrl()) {
            bytes = FileManager::contents(url->path(), error);
        } else if (url->scheme() == "http" || url->scheme() == "https") {
            bytes = fetchHttp(address, timeout, error);
        } else {
            Error::set(error, "TextReader", -1002, "The address \"" + address + "\" is not supported.");
            return std::nullopt;
        }
    }
    if (!bytes) return std::nullopt;
    if (!TextEncoding::isValidUtf8(*bytes)) {
        Error::set(error, "TextReader", 261, "The content of \"" + address + "\" is not UTF-8 text.");
        return std::nullopt;
    }
    return bytes;
}

}  // namespace platform
