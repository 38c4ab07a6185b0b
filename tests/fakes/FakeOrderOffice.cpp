#include "fakes/FakeOrderOffice.h"

#include "records/JsonNumberText.h"

#include <chrono>

using nlohmann::json;

namespace {

// A value's text: a string as it stands, a whole number without a decimal
// point (9311.0 is 9311), anything else as JSON.
std::string text(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number()) return JsonNumberText::of(value);
    return value.dump();
}

}  // namespace

FakeOrderOffice::FakeOrderOffice() : own_(std::make_unique<FakeOffice>()), office_(*own_) { install(); }

FakeOrderOffice::FakeOrderOffice(FakeOffice& office) : office_(office) { install(); }

FakeOrderOffice::~FakeOrderOffice() {
    // No new request reaches the desk; the ones being answered (a silent one
    // among them) end before the desk goes.
    for (const char* path : {exportPath, importPath, ordersPath, transferPath})
        office_.handle("POST", path, [](const FakeOffice::Request&) { return FakeOffice::Reply{404, "", "text/plain", {}}; });
    std::unique_lock lock(mutex_);
    stopping_ = true;
    stopped_.notify_all();
    stopped_.wait_for(lock, std::chrono::seconds(5), [this] { return busy_ == 0; });
    lock.unlock();
    own_.reset();
}

void FakeOrderOffice::install() {
    office_.handle("POST", exportPath, [this](const FakeOffice::Request& q) { return handle(q, false); });
    office_.handle("POST", importPath, [this](const FakeOffice::Request& q) { return handle(q, false); });
    office_.handle("POST", ordersPath, [this](const FakeOffice::Request& q) { return handle(q, false); });
    office_.handle("POST", transferPath, [this](const FakeOffice::Request& q) { return handle(q, true); });
}

void FakeOrderOffice::prepare(const json& order) {
    std::lock_guard lock(mutex_);
    prepared_.push_back(order);
}

void FakeOrderOffice::setLastCdok(const std::string& str, long long cdok) {
    std::lock_guard lock(mutex_);
    lastCdok_[str] = cdok;
}

void FakeOrderOffice::setTransferReply(const std::string& body) {
    std::lock_guard lock(mutex_);
    transferReply_ = body;
}

void FakeOrderOffice::fail(const std::string& action, Fault fault, const std::string& cdok) {
    std::lock_guard lock(mutex_);
    faults_[cdok.empty() ? action : action + " " + cdok] = fault;
}

void FakeOrderOffice::setTransferDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    transferDelay_ = delay;
}

FakeOrderOffice::Fault FakeOrderOffice::faultFor(const std::string& action, const std::string& cdok) const {
    auto it = faults_.find(action + " " + cdok);
    if (it == faults_.end()) it = faults_.find(action);
    return it == faults_.end() ? Fault::none : it->second;
}

std::vector<FakeOrderOffice::Request> FakeOrderOffice::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::string> FakeOrderOffice::actions() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& r : requests_) out.push_back(r.action);
    return out;
}

std::vector<json> FakeOrderOffice::exportedOrders() const {
    std::lock_guard lock(mutex_);
    return exported_;
}

std::set<std::string> FakeOrderOffice::delivered() const {
    std::lock_guard lock(mutex_);
    return delivered_;
}

void FakeOrderOffice::onUpdate(std::function<void(const std::string&)> hook) {
    std::lock_guard lock(mutex_);
    onUpdate_ = std::move(hook);
}

FakeOffice::Reply FakeOrderOffice::answer(const std::string& action, const std::string& cdok, const json& reply) {
    Fault fault;
    {
        std::unique_lock lock(mutex_);
        fault = faultFor(action, cdok);
        if (fault == Fault::silence) {
            // Holds the answer back until the desk goes (at most 30 s).
            stopped_.wait_for(lock, std::chrono::seconds(30), [this] { return stopping_; });
            return FakeOffice::Reply{500, "", "text/plain", {}};
        }
    }
    switch (fault) {
    case Fault::status500:
        return FakeOffice::Reply{500, "{\"RESULT\":\"OK\"}", "application/json", {}};
    case Fault::malformedJson:
        return FakeOffice::Reply{200, "{\"RESULT\": \"OK\", \"LIST\": [", "application/json", {}};
    case Fault::refused:
        return FakeOffice::Reply{200, "{\"RESULT\":\"CHYBA\",\"MESSAGE\":\"odmietnuté\"}", "application/json", {}};
    default:
        return FakeOffice::Reply{200, reply.dump(), "application/json", {}};
    }
}

FakeOffice::Reply FakeOrderOffice::handle(const FakeOffice::Request& request, bool transfer) {
    {
        std::lock_guard lock(mutex_);
        ++busy_;
    }
    FakeOffice::Reply reply = respond(request, transfer);
    std::lock_guard lock(mutex_);
    --busy_;
    stopped_.notify_all();
    return reply;
}

FakeOffice::Reply FakeOrderOffice::respond(const FakeOffice::Request& request, bool transfer) {
    Request seen{request.path, request.body, std::nullopt, ""};
    if (request.headers.count("Content-Length") || !request.header("Content-Length").empty())
        seen.contentLength = request.header("Content-Length");
    const std::string prefix = "request=";
    json message;
    if (request.body.rfind(prefix, 0) == 0) message = json::parse(request.body.substr(prefix.size()), nullptr, false);
    if (!transfer && message.is_object() && message.contains("ACTION")) seen.action = text(message["ACTION"]);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(seen);
    }
    if (message.is_discarded()) return FakeOffice::Reply{400, "", "text/plain", {}};

    if (transfer) {
        {
            std::unique_lock lock(mutex_);
            stopped_.wait_for(lock, transferDelay_, [this] { return stopping_; });
        }
        std::string body;
        {
            std::lock_guard lock(mutex_);
            body = faults_.count("TRANSFER") && faults_["TRANSFER"] == Fault::emptyTransfer ? "[]" : transferReply_;
        }
        Fault fault = Fault::none;
        {
            std::lock_guard lock(mutex_);
            if (faults_.count("TRANSFER")) fault = faults_["TRANSFER"];
        }
        if (fault != Fault::none && fault != Fault::emptyTransfer) return answer("TRANSFER", "", json());
        return FakeOffice::Reply{200, body, "application/json", {}};
    }

    const std::string& action = seen.action;
    json reply = json::object();
    std::function<void(const std::string&)> hook;
    {
        std::lock_guard lock(mutex_);
        const std::string str = message.contains("STR") ? text(message["STR"]) : "";
        const std::string cdok = message.contains("CDOK") ? text(message["CDOK"]) : "";
        const Fault fault = faultFor(action, cdok);
        if (action == "LASTCDOK") {
            reply["CDOK"] = lastCdok_.count(str) ? lastCdok_[str] : 0;
        } else if (action == "EXPORT") {
            const bool accepted = fault == Fault::none;
            if (accepted && message.contains("DOKLADY") && message["DOKLADY"].is_array()) {
                for (const auto& order : message["DOKLADY"]) {
                    exported_.push_back(order);
                    if (order.contains("CDOK") && order["CDOK"].is_number_integer()) {
                        const std::string orderStr = order.contains("STR") ? text(order["STR"]) : "";
                        long long& last = lastCdok_[orderStr];
                        last = std::max(last, order["CDOK"].get<long long>());
                    }
                }
            }
            reply["RESULT"] = "OK";
        } else if (action == "LIST") {
            reply["RESULT"] = "OK";
            reply["LIST"] = json::array();
            for (const auto& order : prepared_) {
                const std::string number = text(order["CDOK"]);
                if (text(order.value("STR", json(""))) == str && !delivered_.count(number))
                    reply["LIST"].push_back({{"CDOK", order["CDOK"]}});
            }
        } else if (action == "SELECT") {
            reply["RESULT"] = "OK";
            reply["DOKLADY"] = json::array();
            for (const auto& order : prepared_) {
                if (text(order["CDOK"]) != cdok) continue;
                if (fault == Fault::otherOrder) {
                    json other = order;
                    other["CDOK"] = order["CDOK"].is_number() ? json(order["CDOK"].get<long long>() + 1) : json(cdok + "1");
                    reply["DOKLADY"].push_back(other);
                } else if (fault != Fault::noOrders) {
                    reply["DOKLADY"].push_back(order);
                    if (fault == Fault::twice) reply["DOKLADY"].push_back(order);
                }
            }
        } else if (action == "UPDATE") {
            hook = onUpdate_;
            if (fault == Fault::none) delivered_.insert(cdok);
            reply["RESULT"] = "OK";
        } else {
            return FakeOffice::Reply{400, "", "text/plain", {}};
        }
    }
    const std::string cdok = message.contains("CDOK") ? text(message["CDOK"]) : "";
    if (hook) hook(cdok);
    return answer(action, cdok, reply);
}
