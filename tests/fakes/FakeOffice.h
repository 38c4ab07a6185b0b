#pragma once

// A fake office server on 127.0.0.1 (an ephemeral port unless one is given),
// over http or https:
//   POST /trekora_data/uploader.php         multipart upload, field "uploadedfile"
//   GET/HEAD /trekora_data/import/export_akcen.db3   the data update, with Last-Modified
//   GET /trekora_data/trekora.db3            the database copy for a restore: the one
//                                            set, else the database (entry trekora.db3)
//                                            of the backup archive received whose
//                                            highest document number is the highest,
//                                            the later of two equal ones
// It records every request and every upload, and can be told to misbehave
// on a path prefix. Further endpoints (the order exchange, ...) are added
// with handle(); misbehaviour applies to them as well.
//
// The https variant presents a certificate for 127.0.0.1 made at start;
// trust() installs it as trusted for the URL loading of the process.

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

class FakeOffice {
public:
    enum class Scheme { http, https };
    enum class Misbehaviour {
        none,
        status500,     // 500 with a short text
        silent,        // accepts the request and never answers
        trickle,       // answers 200 and sends a byte every 50 ms, without end
        cutOff,        // announces a body and closes after half of it
        htmlPage200,   // status 200 with an HTML error page
        notADatabase,  // status 200 with bytes that are no database
    };

    struct Request {
        std::string method;
        std::string path;
        std::multimap<std::string, std::string> headers;
        std::string body;  // empty for a multipart upload (see uploads())
        std::string header(const std::string& name) const;
    };
    struct Reply {
        int status = 200;
        std::string body;
        std::string contentType = "application/octet-stream";
        std::multimap<std::string, std::string> headers;
    };
    using Handler = std::function<Reply(const Request&)>;

    struct Upload {
        std::string fieldName;
        std::string fileName;
        std::string contentType;  // of the part
        std::string bytes;
        std::string requestContentType;
        std::string connection;
    };

    static constexpr const char* uploadPath = "/trekora_data/uploader.php";
    static constexpr const char* updatePath = "/trekora_data/import/export_akcen.db3";
    static constexpr const char* backupPath = "/trekora_data/trekora.db3";

    // port() is 0 or less when it could not listen on `port`.
    explicit FakeOffice(Scheme scheme = Scheme::http, int port = 0);
    ~FakeOffice();
    FakeOffice(const FakeOffice&) = delete;
    FakeOffice& operator=(const FakeOffice&) = delete;

    int port() const { return port_; }
    // scheme://127.0.0.1:port followed by `path`.
    std::string url(const std::string& path = "") const;
    // The folders the settings point at: IMPORT_PC_DIR (with its closing "/")
    // and BACKUP_PC_DIR.
    std::string importDir() const { return url("/trekora_data/import/"); }
    std::string backupDir() const { return url("/trekora_data"); }
    const std::string& certificatePem() const { return certPem_; }
    // Trusts this server's certificate in the process's URL loading.
    void trust() const;

    void setUpdateFile(std::string bytes, std::string lastModified);
    // The database copy served for a restore, whatever backups arrive.
    void setBackupDatabase(std::string bytes);
    // Answers every request whose path begins with `pathPrefix` ("" for all)
    // so; with a `method` ("GET", "HEAD", "POST") only requests of it.
    void misbehave(Misbehaviour misbehaviour, const std::string& pathPrefix = "", const std::string& method = "");
    // Adds or replaces the handler of requests with this method and path
    // (HEAD requests go to the GET handler without a body).
    void handle(const std::string& method, const std::string& path, Handler handler);

    std::vector<Upload> uploads() const;
    // "METHOD /path" of every request, in order of arrival.
    std::vector<std::string> requests() const;

private:
    // Answers the request; true when it got its own answer with status 200.
    bool serve(const Request& request, void* response);
    Reply route(const Request& request);

    Scheme scheme_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    std::string certPem_;

    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::map<std::string, Handler> handlers_;  // "METHOD /path"
    struct Rule {
        std::string prefix;
        std::string method;
        Misbehaviour misbehaviour;
    };
    std::vector<Rule> misbehaviours_;
    std::vector<Upload> uploads_;
    std::vector<std::string> requests_;
    std::string updateFile_;
    std::string lastModified_;
    std::string backup_;
    // The database of the backup archive received that a restore gets, and
    // its highest document number (-1 when it cannot be read, or the
    // database is not whole: any readable one comes first).
    std::string receivedBackup_;
    long long receivedNumber_ = -1;
};
