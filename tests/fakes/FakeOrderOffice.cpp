#include "fakes/FakeOrderOffice.h"

#include <chrono>

using nlohmann::json;

namespace {

std::string text(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    return value.dump();
}

}  // namespace

FakeOrderOffice::FakeOrderOffice() : server_(std::make_unique<httplib::Server>()) {
    server_->set_keep_alive_max_count(1);
    install(*server_);
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeOrderOffice::~FakeOrderOffice() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    if (server_) server_->stop();
    if (thread_.joinable()) thread_.join();
}

void FakeOrderOffice::install(httplib::Server& server) {
    server.Post("/trekora_data/objednavky_export.php",
                [this](const httplib::Request& q, httplib::Response& r) { handle(q, r, false); });
    server.Post("/trekora_data/objednavky_import.php",
                [this](const httplib::Request& q, httplib::Response& r) { handle(q, r, false); });
    server.Post("/trekora_data/preskladnenie.php",
                [this](const httplib::Request& q, httplib::Response& r) { handle(q, r, true); });
}

std::string FakeOrderOffice::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
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

void FakeOrderOffice::fail(const std::string& action, Fault fault) {
    std::lock_guard lock(mutex_);
    faults_[action] = fault;
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

void FakeOrderOffice::answer(httplib::Response& response, const std::string& action, const json& reply) {
    Fault fault;
    {
        std::unique_lock lock(mutex_);
        auto it = faults_.find(action);
        fault = it == faults_.end() ? Fault::none : it->second;
        if (fault == Fault::silence) {
            // Holds the answer back until the office stops (at most 30 s).
            stopped_.wait_for(lock, std::chrono::seconds(30), [this] { return stopping_; });
            response.status = 500;
            return;
        }
    }
    switch (fault) {
    case Fault::status500:
        response.status = 500;
        response.set_content("{\"RESULT\":\"OK\"}", "application/json");
        return;
    case Fault::malformedJson:
        response.set_content("{\"RESULT\": \"OK\", \"LIST\": [", "application/json");
        return;
    case Fault::refused:
        response.set_content("{\"RESULT\":\"CHYBA\",\"MESSAGE\":\"odmietnuté\"}", "application/json");
        return;
    default:
        response.set_content(reply.dump(), "application/json");
    }
}

void FakeOrderOffice::handle(const httplib::Request& request, httplib::Response& response, bool transfer) {
    Request seen{request.path, request.body, std::nullopt, ""};
    if (request.has_header("Content-Length")) seen.contentLength = request.get_header_value("Content-Length");
    const std::string prefix = "request=";
    json message;
    if (request.body.rfind(prefix, 0) == 0) message = json::parse(request.body.substr(prefix.size()), nullptr, false);
    if (!transfer && message.is_object() && message.contains("ACTION")) seen.action = text(message["ACTION"]);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(seen);
    }
    if (message.is_discarded()) {
        response.status = 400;
        return;
    }

    if (transfer) {
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
        if (fault != Fault::none && fault != Fault::emptyTransfer) return answer(response, "TRANSFER", json());
        response.set_content(body, "application/json");
        return;
    }

    const std::string& action = seen.action;
    json reply = json::object();
    std::function<void(const std::string&)> hook;
    {
        std::lock_guard lock(mutex_);
        const std::string str = message.contains("STR") ? text(message["STR"]) : "";
        const std::string cdok = message.contains("CDOK") ? text(message["CDOK"]) : "";
        const Fault fault = faults_.count(action) ? faults_[action] : Fault::none;
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
            response.status = 400;
            return;
        }
    }
    if (hook) hook(text(message["CDOK"]));
    answer(response, action, reply);
}
