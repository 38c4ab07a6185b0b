#pragma once

#include "fakes/FakeOffice.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The office's side of the order exchange and of the stock transfer: the
// order endpoints of a FakeOffice (its own, or one the test runs). It reads
// "request=<JSON>" as it stands,
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

    FakeOrderOffice();                           // on an office of its own
    explicit FakeOrderOffice(FakeOffice& office);  // on an office the test runs
    ~FakeOrderOffice();
    FakeOrderOffice(const FakeOrderOffice&) = delete;
    FakeOrderOffice& operator=(const FakeOrderOffice&) = delete;

    static constexpr const char* exportPath = "/trekora_data/objednavky_export.php";
    static constexpr const char* importPath = "/trekora_data/objednavky_import.php";
    static constexpr const char* transferPath = "/trekora_data/preskladnenie.php";
    // The one address of both runs in the shipped database's settings.
    static constexpr const char* ordersPath = "/trekora_data/objednavky.php";

    std::string exportUrl() const { return office_.url(exportPath); }
    std::string importUrl() const { return office_.url(importPath); }
    std::string transferUrl() const { return office_.url(transferPath); }

    // An order the office prepared for a centre (its "STR" member), waiting
    // for import until UPDATE marks it delivered.
    void prepare(const nlohmann::json& order);
    // The last order number the office holds for a centre.
    void setLastCdok(const std::string& str, long long cdok);
    // Lines the stock transfer answers with (a JSON text, as sent).
    void setTransferReply(const std::string& body);
    // Action "TRANSFER" for the transfer; with `cdok`, only SELECT or UPDATE
    // of that order misbehave.
    void fail(const std::string& action, Fault fault, const std::string& cdok = "");
    // Holds every answer to the stock transfer back for this time.
    void setTransferDelay(std::chrono::milliseconds delay);

    std::vector<Request> requests() const;
    std::vector<std::string> actions() const;
    std::vector<nlohmann::json> exportedOrders() const;
    std::set<std::string> delivered() const;
    // Called on UPDATE with the order number, before the answer.
    void onUpdate(std::function<void(const std::string&)> hook);

private:
    void install();
    FakeOffice::Reply handle(const FakeOffice::Request& request, bool transfer);
    FakeOffice::Reply respond(const FakeOffice::Request& request, bool transfer);
    FakeOffice::Reply answer(const std::string& action, const std::string& cdok, const nlohmann::json& reply);
    Fault faultFor(const std::string& action, const std::string& cdok) const;  // mutex_ held

    std::unique_ptr<FakeOffice> own_;
    FakeOffice& office_;
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    int busy_ = 0;  // requests being answered

    std::vector<Request> requests_;
    std::vector<nlohmann::json> exported_;
    std::vector<nlohmann::json> prepared_;
    std::set<std::string> delivered_;
    std::map<std::string, long long> lastCdok_;
    std::map<std::string, Fault> faults_;
    std::string transferReply_ = "[]";
    std::chrono::milliseconds transferDelay_{0};
    std::function<void(const std::string&)> onUpdate_;
};
