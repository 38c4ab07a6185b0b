#include "fakes/FakeOffice.h"
#include "fakes/LoopbackListener.h"

#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>

#include "platform/FileManager.h"
#include "platform/UrlSession.h"
#include "sync/ZipPacker.h"

namespace {

// The highest document number of the database at `path`; -1 when it cannot
// be read or the database is not whole.
long long highestDocument(const std::string& path) {
    sqlite3* db = nullptr;
    long long highest = -1;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "pragma integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW &&
        std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) == "ok") {
        sqlite3_finalize(stmt);
        stmt = nullptr;
        if (sqlite3_prepare_v2(db, "select coalesce(max(cdok), 0) from vety where typeof(cdok) = 'integer'", -1,
                               &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            highest = sqlite3_column_int64(stmt, 0);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return highest;
}

// The database of a backup archive (its entry "trekora.db3") and its
// highest document number (highestDocument); empty when the bytes are no
// such archive.
std::string databaseOfBackup(const std::string& archive, long long* highest) {
    using platform::FileManager;
    const std::string work = FileManager::makeTemporaryDirectory("fake-office");
    if (work.empty()) return "";
    std::string database;
    ZipPacker zip;
    if (FileManager::writeFile(work + "/backup.zip", archive) && zip.openForReading(work + "/backup.zip") &&
        zip.extractTo(work + "/entries", true)) {
        database = FileManager::contents(work + "/entries/trekora.db3").value_or("");
        if (!database.empty()) *highest = highestDocument(work + "/entries/trekora.db3");
    }
    zip.closeReading();
    FileManager::removeItem(work);
    return database;
}

void addExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    if (X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value)) {
        X509_add_ext(cert, ext, -1);
        X509_EXTENSION_free(ext);
    }
}

// A self-signed certificate for the address 127.0.0.1.
void makeCertificate(X509** certOut, EVP_PKEY** keyOut, std::string* pem) {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 7);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                               -1, 0);
    X509_set_issuer_name(cert, name);
    addExtension(cert, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(cert, NID_subject_alt_name, "IP:127.0.0.1");
    X509_sign(cert, key, EVP_sha256());
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, cert);
    char* data = nullptr;
    long n = BIO_get_mem_data(bio, &data);
    pem->assign(data, static_cast<std::size_t>(n));
    BIO_free(bio);
    *certOut = cert;
    *keyOut = key;
}

}  // namespace

std::string FakeOffice::Request::header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
    return "";
}

FakeOffice::FakeOffice(Scheme scheme, int port) : scheme_(scheme) {
    if (scheme == Scheme::https) {
        X509* cert = nullptr;
        EVP_PKEY* key = nullptr;
        makeCertificate(&cert, &key, &certPem_);
        server_ = std::make_unique<httplib::SSLServer>(cert, key);
        X509_free(cert);
        EVP_PKEY_free(key);
    } else {
        server_ = std::make_unique<httplib::Server>();
    }
    // One request a connection, so that stopping never waits for idle keep-alives.
    server_->set_keep_alive_max_count(1);
    server_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        Request request{req.method, req.path, {req.headers.begin(), req.headers.end()}, req.body};
        serve(request, &res);
    });
    server_->Post(".*", [this](const httplib::Request& req, httplib::Response& res,
                               const httplib::ContentReader& reader) {
        Request request{req.method, req.path, {req.headers.begin(), req.headers.end()}, ""};
        if (req.is_multipart_form_data()) {
            std::vector<Upload> parts;
            reader(
                [&](const httplib::MultipartFormData& part) {
                    parts.push_back(Upload{part.name, part.filename, part.content_type, "",
                                           req.get_header_value("Content-Type"),
                                           req.get_header_value("Connection")});
                    return true;
                },
                [&](const char* data, std::size_t length) {
                    parts.back().bytes.append(data, length);
                    return true;
                });
            std::string database;
            long long highest = -1;
            for (const auto& part : parts) {
                const auto& name = part.fileName;
                long long number = -1;
                if (name.size() > 4 && name.compare(name.size() - 4, 4, ".zip") == 0)
                    if (std::string held = databaseOfBackup(part.bytes, &number); !held.empty()) {
                        database = std::move(held);
                        highest = number;
                    }
            }
            {
                std::lock_guard lock(mutex_);
                uploads_.insert(uploads_.end(), parts.begin(), parts.end());
            }
            // A backup the office did not take is not one it has. A restore
            // gets the one holding the highest document number: a later
            // backup of an older or emptier database (the shipped one placed
            // after the working one was lost) never hides the day's documents.
            if (serve(request, &res) && !database.empty()) {
                std::lock_guard lock(mutex_);
                if (highest >= receivedNumber_) {
                    receivedBackup_ = std::move(database);
                    receivedNumber_ = highest;
                }
            }
            return;
        } else {
            reader([&](const char* data, std::size_t length) {
                request.body.append(data, length);
                return true;
            });
        }
        serve(request, &res);
    });
    server_->set_socket_options(LoopbackListener::ownPort);
    if (port == 0) port_ = server_->bind_to_any_port("127.0.0.1");
    else port_ = server_->bind_to_port("127.0.0.1", port) ? port : -1;
    if (port_ <= 0) return;  // port() tells that nothing listens
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeOffice::~FakeOffice() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    server_->stop();
    if (thread_.joinable()) thread_.join();
    if (!certPem_.empty()) platform::UrlSession::removeTrustedCertificates();
}

std::string FakeOffice::url(const std::string& path) const {
    return std::string(scheme_ == Scheme::https ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

void FakeOffice::trust() const {
    platform::UrlSession::addTrustedCertificate(certPem_);
}

void FakeOffice::setUpdateFile(std::string bytes, std::string lastModified) {
    std::lock_guard lock(mutex_);
    updateFile_ = std::move(bytes);
    lastModified_ = std::move(lastModified);
}

void FakeOffice::setBackupDatabase(std::string bytes) {
    std::lock_guard lock(mutex_);
    backup_ = std::move(bytes);
}

void FakeOffice::misbehave(Misbehaviour misbehaviour, const std::string& pathPrefix, const std::string& method) {
    std::lock_guard lock(mutex_);
    misbehaviours_.erase(std::remove_if(misbehaviours_.begin(), misbehaviours_.end(),
                                        [&](const Rule& r) { return r.prefix == pathPrefix && r.method == method; }),
                         misbehaviours_.end());
    misbehaviours_.push_back(Rule{pathPrefix, method, misbehaviour});
}

void FakeOffice::handle(const std::string& method, const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    handlers_[method + " " + path] = std::move(handler);
}

std::vector<FakeOffice::Upload> FakeOffice::uploads() const {
    std::lock_guard lock(mutex_);
    return uploads_;
}

std::vector<std::string> FakeOffice::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

FakeOffice::Reply FakeOffice::route(const Request& request) {
    const std::string method = request.method == "HEAD" ? "GET" : request.method;
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        auto found = handlers_.find(method + " " + request.path);
        if (found != handlers_.end()) handler = found->second;
    }
    if (handler) return handler(request);

    Reply reply;
    std::lock_guard lock(mutex_);
    if (method == "POST" && request.path == uploadPath) {
        reply.body = "ok";
        reply.contentType = "text/plain";
    } else if (method == "GET" && request.path == updatePath && !updateFile_.empty()) {
        reply.body = updateFile_;
        reply.headers.emplace("Last-Modified", lastModified_);
    } else if (method == "GET" && request.path == backupPath && !(backup_.empty() && receivedBackup_.empty())) {
        reply.body = backup_.empty() ? receivedBackup_ : backup_;
    } else {
        reply.status = 404;
        reply.body = "not found";
        reply.contentType = "text/plain";
    }
    return reply;
}

bool FakeOffice::serve(const Request& request, void* response) {
    auto& res = *static_cast<httplib::Response*>(response);
    Misbehaviour misbehaviour = Misbehaviour::none;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request.method + " " + request.path);
        std::size_t longest = 0;
        for (const auto& rule : misbehaviours_) {
            if (request.path.rfind(rule.prefix, 0) == 0 && rule.prefix.size() >= longest &&
                (rule.method.empty() || rule.method == request.method)) {
                longest = rule.prefix.size();
                misbehaviour = rule.misbehaviour;
            }
        }
    }
    Reply reply = route(request);
    switch (misbehaviour) {
        case Misbehaviour::none:
            break;
        case Misbehaviour::status500:
            reply = Reply{500, "Internal Server Error", "text/plain", {}};
            break;
        case Misbehaviour::silent: {
            std::unique_lock lock(mutex_);
            stopped_.wait_for(lock, std::chrono::seconds(30), [this] { return stopping_; });
            return false;
        }
        case Misbehaviour::trickle:
            res.status = 200;
            res.set_chunked_content_provider("application/octet-stream", [this](std::size_t, httplib::DataSink& sink) {
                std::unique_lock lock(mutex_);
                if (stopped_.wait_for(lock, std::chrono::milliseconds(50), [this] { return stopping_; })) return false;
                lock.unlock();
                return sink.write("x", 1);
            });
            return false;
        case Misbehaviour::cutOff: {
            std::string body = reply.body.size() >= 2 ? reply.body : std::string(4096, 'x');
            for (const auto& [name, value] : reply.headers) res.set_header(name.c_str(), value);
            res.status = 200;
            res.set_content_provider(body.size(), "application/octet-stream",
                                     [body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                         if (offset >= body.size() / 2) return false;
                                         return sink.write(body.data(), body.size() / 2);
                                     });
            return false;
        }
        case Misbehaviour::htmlPage200:
            reply.status = 200;
            reply.body = "<html><body><h1>Chyba servera</h1><p>Súbor sa nenašiel.</p></body></html>";
            reply.contentType = "text/html";
            break;
        case Misbehaviour::notADatabase:
            reply.status = 200;
            reply.body = std::string("PK\x03\x04 this is no database at all, only some bytes\n") + std::string(200, 'z');
            reply.contentType = "application/octet-stream";
            break;
    }
    res.status = reply.status;
    for (const auto& [name, value] : reply.headers) res.set_header(name.c_str(), value);
    res.set_content(reply.body, reply.contentType.c_str());
    return misbehaviour == Misbehaviour::none && reply.status == 200;
}
