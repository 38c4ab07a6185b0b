#pragma once

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The office's side of the order exchange and of the stock transfer, on
// 127.0.0.1 with an ephemeral port. It reads "request=<JSON>" as it stands,
// keeps exported orders and prepared orders in memory, and answers LASTCDOK,
// EXPORT, LIST, SELECT and UPDATE; the stock transfer answers the lines set
// by the test. Each action can be made to misbehave.
class FakeOrderOffice {
public:
    enum class Fault {
        none,
        status500,      // answers 500
        silence,        // answers nothing until the office stops
        malformedJson,  // answers a body that is not JSON
        refused,        // "RESULT": "CHYBA"
        twice,          // SELECT: the order twice in "DOKLADY"
        otherOrder,     // SELECT: an order with another number
        noOrders,       // SELECT: "DOKLADY" empty
        emptyTransfer,  // stock transfer: "[]"
    };

    struct Request {
        std::string path;
        std::string body;                          // as received
        std::optional<std::string> contentLength;  // the header, when sent
        std::string action;                        // "ACTION" of the JSON, "" for the transfer
    };

    FakeOrderOffice();  // serves on a server of its own
    ~FakeOrderOffice();
    FakeOrderOffice(const FakeOrderOffice&) = delete;
    FakeOrderOffice& operator=(const FakeOrderOffice&) = delete;

    // Adds the routes to a server that someone else runs.
    void install(httplib::Server& server);

    std::string exportUrl() const { return url("/trekora_data/objednavky_export.php"); }
    std::string importUrl() const { return url("/trekora_data/objednavky_import.php"); }
    std::string transferUrl() const { return url("/trekora_data/preskladnenie.php"); }

    // An order the office prepared for a centre (its "STR" member), waiting
    // for import until UPDATE marks it delivered.
    void prepare(const nlohmann::json& order);
    // The last order number the office holds for a centre.
    void setLastCdok(const std::string& str, long long cdok);
    // Lines the stock transfer answers with (a JSON text, as sent).
    void setTransferReply(const std::string& body);
    void fail(const std::string& action, Fault fault);  // action "TRANSFER" for the transfer

    std::vector<Request> requests() const;
    std::vector<std::string> actions() const;
    std::vector<nlohmann::json> exportedOrders() const;
    std::set<std::string> delivered() const;
    // Called on UPDATE with the order number, before the answer.
    void onUpdate(std::function<void(const std::string&)> hook);

private:
    std::string url(const std::string& path) const;
    void handle(const httplib::Request& request, httplib::Response& response, bool transfer);
    void answer(httplib::Response& response, const std::string& action, const nlohmann::json& reply);

    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    int port_ = 0;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;

    std::vector<Request> requests_;
    std::vector<nlohmann::json> exported_;
    std::vector<nlohmann::json> prepared_;
    std::set<std::string> delivered_;
    std::map<std::string, long long> lastCdok_;
    std::map<std::string, Fault> faults_;
    std::string transferReply_ = "[]";
    std::function<void(const std::string&)> onUpdate_;
};
