#pragma once

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The fiscal service on 127.0.0.1 under "/api": registers receipts
// ("/document/store") and cash movements ("/cash"), numbering them each
// month from 1 and keeping the last one; answers "/document/get" with the
// last document or with the one of a sequence number, month and year; takes
// print data, merchant, location and repair requests. It refuses a body that
// is not JSON (400) and can be told to misbehave on any path.
class FakeFiscalService {
public:
    enum class Misbehaviour {
        none,
        status500,      // 500 with a JSON error
        silence,        // answers nothing until the service stops
        notJson,        // 200 with a body that is not JSON
        errorReply,     // 200 with {"error": "..."}
        noDocument,     // 200 with {} (no document or cash object)
        status201,      // 201 with the normal answer
        late,           // registers and answers only after the delay, as a
                        // service still at work when its client gave up
        foreignRecord,  // registers, but answers with the record that was its
                        // last one before (another document's)
        trickle,        // answers 200 and then one byte of body every 100 ms,
                        // without end
        redirect,       // registers and answers 307 pointing at the same
                        // address; once, then the path behaves again
        gatewayLate,    // answers 504 at once, as a gateway in front of the
                        // service, and registers only after the delay
        foreignIdentifiers,  // registers, but answers with this document's
                             // number and the previous record's uuid and okp
        lastForAny,          // answers a look-up by sequence number with its
                             // last document, whatever was asked
    };

    struct Request {
        std::string path;
        std::string body;
        std::map<std::string, std::string> headers;
    };

    // On 127.0.0.1 at `port`, or at an ephemeral port when it is 0.
    explicit FakeFiscalService(int port = 0);
    ~FakeFiscalService();
    FakeFiscalService(const FakeFiscalService&) = delete;
    FakeFiscalService& operator=(const FakeFiscalService&) = delete;

    int port() const { return port_; }

    // Misbehaves on one path (such as "/api/document/store") from now on.
    void misbehave(const std::string& path, Misbehaviour how);
    // The sequence number of the next registration, and the service's date
    // of every registration ("dd.MM.yyyy HH:mm:ss"). The service numbers
    // each month from 1: a date in another month starts again at 1.
    void setNextSequenceId(std::int64_t id);
    void setDate(const std::string& date);
    // A receipt keyed on the service's own printer: registered under the
    // next sequence number.
    void keyIn(const std::string& externalId);
    // A document the service already holds as its last one.
    void setLastDocument(nlohmann::json document);
    // How long a late path keeps its caller waiting.
    void setDelay(std::chrono::milliseconds delay);
    // Runs `action` on the service's thread when a request for `path`
    // arrives, before it is handled (a test looks at what the client did
    // before it sent).
    void whenReceived(const std::string& path, std::function<void()> action);

    std::vector<Request> requests() const;
    std::vector<Request> requests(const std::string& path) const;
    std::optional<nlohmann::json> lastDocument() const;
    std::size_t registered() const;

private:
    void handle(const httplib::Request& req, httplib::Response& res);
    nlohmann::json registerDocument(const nlohmann::json& body);

    httplib::Server server_;
    std::thread thread_;
    std::vector<std::thread> later_;  // registrations still to come (gatewayLate)
    int port_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::map<std::string, Misbehaviour> misbehaviour_;
    std::map<std::string, std::function<void()>> received_;
    std::vector<Request> requests_;
    std::vector<nlohmann::json> documents_;
    std::optional<nlohmann::json> last_;
    std::int64_t nextSequenceId_ = 1;
    int months_ = 0;  // how often the numbering started again
    std::string date_ = "15.03.2026 10:20:30";
    std::chrono::milliseconds delay_{1000};
};
