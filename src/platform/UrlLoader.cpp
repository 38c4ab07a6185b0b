#include "platform/UrlLoader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <map>
#include <strings.h>
#include <unistd.h>

#include "platform/CurlGlobal.h"
#include "platform/FileManager.h"
#include "platform/Url.h"
#include "platform/UrlSession.h"
#include "platform/UrlSessionTask.h"

namespace platform {

namespace {

using SteadyClock = std::chrono::steady_clock;

struct Transfer {
    std::shared_ptr<UrlSessionTask> task;
    std::shared_ptr<UrlSession> session;
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    std::string body;
    std::string received;
    FILE* file = nullptr;
    std::string filePath;
    int64_t written = 0;
    int status = 0;
    std::vector<std::pair<std::string, std::string>> headerFields;
    SteadyClock::time_point lastActivity;
    SteadyClock::time_point deadline;
    SteadyClock::duration idle{};
    curl_off_t lastUp = 0;
    curl_off_t lastDown = 0;

    ~Transfer() {
        if (easy) curl_easy_cleanup(easy);
        if (headers) curl_slist_free_all(headers);
        if (file) std::fclose(file);
    }

    template <typename F>
    void toDelegate(F call) {
        if (!session->delegate()) return;
        auto s = session;
        auto t = task;
        session->delegateQueue()->async([s, t, call] {
            if (auto d = s->delegate()) call(*d, *s, *t);
        });
    }
};

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    t->lastActivity = SteadyClock::now();
    std::string line = trim(std::string(data, size * count));
    if (line.rfind("HTTP/", 0) == 0) {
        // A new answer (after a redirect or an interim 1xx): start over.
        t->headerFields.clear();
        t->status = 0;
        auto space = line.find(' ');
        if (space != std::string::npos) t->status = std::atoi(line.c_str() + space + 1);
    } else if (!line.empty()) {
        auto colon = line.find(':');
        if (colon != std::string::npos)
            t->headerFields.emplace_back(trim(line.substr(0, colon)), trim(line.substr(colon + 1)));
    }
    return size * count;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    t->lastActivity = SteadyClock::now();
    size_t n = size * count;
    if (!t->file) {
        t->received.append(data, n);
        return n;
    }
    if (std::fwrite(data, 1, n, t->file) != n) return 0;
    t->written += static_cast<int64_t>(n);
    int64_t expected = -1;
    curl_off_t length = -1;
    if (curl_easy_getinfo(t->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
        length >= 0)
        expected = length;
    int64_t total = t->written;
    t->toDelegate([n, total, expected](UrlSessionDelegate& d, UrlSession& s, UrlSessionTask& k) {
        d.didWriteData(s, k, static_cast<int64_t>(n), total, expected);
    });
    return n;
}

int onProgress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t ultotal, curl_off_t ulnow) {
    auto* t = static_cast<Transfer*>(user);
    if (ulnow > t->lastUp) {
        t->lastActivity = SteadyClock::now();
        int64_t sent = ulnow - t->lastUp;
        int64_t total = ulnow;
        int64_t expected = ultotal;
        t->toDelegate([sent, total, expected](UrlSessionDelegate& d, UrlSession& s, UrlSessionTask& k) {
            d.didSendBodyData(s, k, sent, total, expected);
        });
        t->lastUp = ulnow;
    }
    if (dlnow != t->lastDown) {
        t->lastActivity = SteadyClock::now();
        t->lastDown = dlnow;
    }
    return 0;
}

// A download that could not be written to its file here.
Error downloadNotWritten() {
    return Error("URLError", UrlSessionTask::cannotWriteDownload, "The downloaded file could not be written.");
}

Error errorFor(CURLcode code, const std::string& detail) {
    switch (code) {
        case CURLE_OPERATION_TIMEDOUT:
            return Error("URLError", UrlSessionTask::timedOut, "The request timed out.");
        case CURLE_COULDNT_CONNECT:
            return Error("URLError", UrlSessionTask::cannotConnectToHost,
                         "Could not connect to the server.");
        case CURLE_COULDNT_RESOLVE_HOST:
            return Error("URLError", UrlSessionTask::cannotFindHost,
                         "A server with the specified hostname could not be found.");
        case CURLE_UNSUPPORTED_PROTOCOL:
            return Error("URLError", UrlSessionTask::unsupportedUrl, "unsupported URL");
        case CURLE_URL_MALFORMAT:
            return Error("URLError", UrlSessionTask::badUrl, "bad URL");
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
            return Error("URLError", UrlSessionTask::networkConnectionLost,
                         "The network connection was lost.");
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CACERT_BADFILE:
            return Error("URLError", UrlSessionTask::secureConnectionFailed,
                         "An SSL error has occurred and a secure connection to the server cannot be made.");
        case CURLE_WRITE_ERROR:
            return downloadNotWritten();
        default:
            return Error("URLError", -1, detail.empty() ? curl_easy_strerror(code) : detail);
    }
}

// Adds the process's extra trusted certificates to a new TLS context's
// store; verification itself stays as curl sets it (peer and host).
CURLcode addTrusted(CURL*, void* context, void*) {
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(context));
    for (const auto& pem : UrlSession::trustedCertificates()) {
        BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
        while (X509* cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) {
            X509_STORE_add_cert(store, cert);
            X509_free(cert);
        }
        ERR_clear_error();
        BIO_free(bio);
    }
    return CURLE_OK;
}

double effectiveTimeout(double seconds) {
    auto cap = UrlSession::maximumTimeout();
    if (cap && *cap < seconds) seconds = *cap;
    return seconds > 0 ? seconds : 60.0;
}

// Sets a transfer up; answers an error when the request cannot be sent at all.
std::optional<Error> setUp(Transfer& t) {
    const UrlRequest& request = t.task->originalRequest();
    const Url& url = request.url;
    if (url.scheme() != "http" && url.scheme() != "https")
        return Error("URLError", UrlSessionTask::unsupportedUrl, "unsupported URL");
    if (url.host().empty()) return Error("URLError", UrlSessionTask::badUrl, "bad URL");

    t.easy = curl_easy_init();
    if (!t.easy) return Error("URLError", -1, "The transfer could not be started.");
    CURL* e = t.easy;
    curl_easy_setopt(e, CURLOPT_URL, url.absoluteString().c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Trekora");
    if (url.scheme() == "https" && !UrlSession::trustedCertificates().empty()) {
        // A store of its own per transfer, so the extra certificates never
        // land in a cached shared one.
        curl_easy_setopt(e, CURLOPT_CA_CACHE_TIMEOUT, 0L);
        curl_easy_setopt(e, CURLOPT_SSL_CTX_FUNCTION, addTrusted);
    }

    double idle = effectiveTimeout(
        std::min(request.timeoutInterval, t.session->configuration().timeoutIntervalForRequest));
    double total = effectiveTimeout(t.session->configuration().timeoutIntervalForResource);
    t.idle = std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(idle));
    t.lastActivity = SteadyClock::now();
    t.deadline = t.lastActivity +
                 std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(total));
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(idle * 1000) + 1);

    std::optional<std::string> body = t.task->kind() == UrlSessionTask::Kind::upload
                                          ? t.task->uploadBody()
                                          : request.httpBody;
    const std::string& method = request.httpMethod;
    // curl sends a request again by itself when the kept-alive connection it
    // reused dies before the first byte of the answer, and no option turns
    // that off. A request that changes something at the peer may already
    // have done so, so it goes on a connection of its own: one that dies is
    // a failure of this request, never a second sending.
    const bool safe = method == "GET" || method == "HEAD" || method == "OPTIONS" || method == "TRACE";
    const bool changing = !safe || t.task->kind() == UrlSessionTask::Kind::upload;
    if (changing) curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);
    // Following a redirect sends the request again, to wherever the answer
    // points: a request that changes something is never sent twice that way
    // either. It ends with the redirect's own answer.
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, request.followsRedirects && !changing ? 1L : 0L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 16L);
    if (method == "HEAD") {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    } else if (method == "GET" && !body) {
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    } else {
        if (method != "POST") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.c_str());
        t.body = body.value_or(std::string());
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(t.body.size()));
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, t.body.data());
    }

    bool expectSet = false;
    for (const auto& [name, value] : request.allHttpHeaderFields()) {
        if (strcasecmp(name.c_str(), "Expect") == 0) expectSet = true;
        std::string line = value.empty() ? name + ";" : name + ": " + value;
        t.headers = curl_slist_append(t.headers, line.c_str());
    }
    if (!expectSet) t.headers = curl_slist_append(t.headers, "Expect:");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, t.headers);

    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);

    if (t.task->kind() == UrlSessionTask::Kind::download) {
        std::string dir = FileManager::makeTemporaryDirectory("trekora-download");
        if (dir.empty()) return downloadNotWritten();
        t.filePath = dir + "/download.tmp";
        t.file = std::fopen(t.filePath.c_str(), "wb");
        if (!t.file) {
            FileManager::removeItem(dir);
            return downloadNotWritten();
        }
    }
    return std::nullopt;
}

void removeDownload(Transfer& t) {
    if (t.file) {
        std::fclose(t.file);
        t.file = nullptr;
    }
    if (!t.filePath.empty()) FileManager::removeItem(FileManager::deletingLastPathComponent(t.filePath));
}

// The address a failed transfer went to (after a redirect, the last one):
// scheme, host, port and path, without a user name, password or query.
std::string addressOf(Transfer& t) {
    char* effective = nullptr;
    curl_easy_getinfo(t.easy, CURLINFO_EFFECTIVE_URL, &effective);
    std::optional<Url> url = effective ? Url::parse(effective) : std::nullopt;
    return (url && !url->host().empty() ? *url : t.task->originalRequest().url).address();
}

// A transfer's failure names the address it went to, so that every message
// made from it tells which server could not be reached; a download that
// could not be written here names none.
Error naming(const Error& error, Transfer& t) {
    if (error.code() == UrlSessionTask::cannotWriteDownload) return error;
    std::string text = error.localizedDescription();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return Error(error.domain(), error.code(), text + " (" + addressOf(t) + ")");
}

// Ends a transfer with curl's outcome and reports it to its task.
void complete(Transfer& t, CURLcode code) {
    if (code == CURLE_OK) {
        char* effective = nullptr;
        curl_easy_getinfo(t.easy, CURLINFO_EFFECTIVE_URL, &effective);
        std::optional<Url> url = effective ? Url::parse(effective) : std::nullopt;
        auto response = std::make_shared<HttpUrlResponse>(
            url ? *url : t.task->originalRequest().url, t.status, std::move(t.headerFields));
        if (t.file) {
            std::fclose(t.file);
            t.file = nullptr;
            // The task removes the file (and its folder) once it has reported it.
            t.task->finish(std::nullopt, response, std::nullopt, t.filePath);
            return;
        }
        t.task->finish(std::move(t.received), response, std::nullopt, std::nullopt);
        return;
    }
    removeDownload(t);
    // The address was checked before the transfer began, so a protocol that
    // curl refuses now without having seen a status line is an answer that
    // was not HTTP at all (curl takes it for the obsolete HTTP/0.9). After a
    // status line it is a redirect to an address of another kind.
    const bool notHttp = code == CURLE_WEIRD_SERVER_REPLY || (code == CURLE_UNSUPPORTED_PROTOCOL && t.status == 0);
    t.task->finish(std::nullopt, nullptr,
                   naming(notHttp ? Error("URLError", UrlSessionTask::badServerResponse,
                                          "The server's answer was not HTTP.")
                                  : errorFor(code, {}),
                          t),
                   std::nullopt);
}

}  // namespace

UrlLoader& UrlLoader::instance() {
    static UrlLoader loader;
    return loader;
}

UrlLoader::UrlLoader() {
    CurlGlobal::ensureInitialised();
    multi_ = curl_multi_init();
    thread_ = std::thread([this] { run(); });
}

UrlLoader::~UrlLoader() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    curl_multi_wakeup(static_cast<CURLM*>(multi_));
    if (thread_.joinable()) thread_.join();
    curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

void UrlLoader::start(std::shared_ptr<UrlSessionTask> task) {
    {
        std::lock_guard lock(mutex_);
        toStart_.push_back(std::move(task));
    }
    curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

void UrlLoader::cancel(std::shared_ptr<UrlSessionTask> task) {
    {
        std::lock_guard lock(mutex_);
        toCancel_.push_back(std::move(task));
    }
    curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

void UrlLoader::run() {
    CURLM* multi = static_cast<CURLM*>(multi_);
    std::map<CURL*, std::unique_ptr<Transfer>> active;
    auto drop = [&](CURL* easy) {
        curl_multi_remove_handle(multi, easy);
        auto node = active.extract(easy);
        return std::move(node.mapped());
    };
    for (;;) {
        std::vector<std::shared_ptr<UrlSessionTask>> starting, cancelling;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) break;
            starting.swap(toStart_);
            cancelling.swap(toCancel_);
        }
        for (auto& task : starting) {
            auto t = std::make_unique<Transfer>();
            t->task = task;
            t->session = task->session_;
            if (auto error = setUp(*t)) {
                removeDownload(*t);
                task->finish(std::nullopt, nullptr, error, std::nullopt);
                continue;
            }
            curl_multi_add_handle(multi, t->easy);
            active[t->easy] = std::move(t);
        }
        for (auto& task : cancelling) {
            for (auto& [easy, t] : active) {
                if (t->task == task) {
                    auto gone = drop(easy);
                    removeDownload(*gone);
                    break;
                }
            }
            task->finish(std::nullopt, nullptr,
                         Error("URLError", UrlSessionTask::cancelled, "cancelled"), std::nullopt);
        }

        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg != CURLMSG_DONE) continue;
            CURLcode code = msg->data.result;
            auto t = drop(msg->easy_handle);
            if (t) complete(*t, code);
        }

        auto now = SteadyClock::now();
        std::vector<CURL*> expired;
        auto wait = std::chrono::milliseconds(200);
        for (auto& [easy, t] : active) {
            auto due = std::min(t->lastActivity + t->idle, t->deadline);
            if (now >= due) {
                expired.push_back(easy);
            } else {
                wait = std::min(wait, std::chrono::duration_cast<std::chrono::milliseconds>(due - now) +
                                          std::chrono::milliseconds(1));
            }
        }
        for (CURL* easy : expired) complete(*drop(easy), CURLE_OPERATION_TIMEDOUT);
        if (!expired.empty()) continue;
        curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait.count()), nullptr);
    }
    for (auto& [easy, t] : active) {
        curl_multi_remove_handle(multi, easy);
        removeDownload(*t);
    }
}

}  // namespace platform
