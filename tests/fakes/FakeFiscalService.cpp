#include "fakes/FakeFiscalService.h"
#include "fakes/LoopbackListener.h"

#include <chrono>
#include <cstdlib>

namespace {

// The first "externalId" text anywhere in a JSON value.
std::optional<std::string> findExternalId(const nlohmann::json& value) {
    if (value.is_object()) {
        auto it = value.find("externalId");
        if (it != value.end() && it->is_string()) return it->get<std::string>();
    }
    if (value.is_structured())
        for (const auto& child : value)
            if (auto id = findExternalId(child)) return id;
    return std::nullopt;
}

}  // namespace

FakeFiscalService::FakeFiscalService(int port) {
    server_.set_keep_alive_max_count(1);
    auto handler = [this](const httplib::Request& req, httplib::Response& res) { handle(req, res); };
    for (const char* path : {"/api/print", "/api/document/store", "/api/document/get", "/api/document/update",
                             "/api/cash", "/api/merchant/store", "/api/location/update"})
        server_.Post(path, handler);
    server_.set_socket_options(LoopbackListener::ownPort);
    if (port == 0) port_ = server_.bind_to_any_port("127.0.0.1");
    else port_ = server_.bind_to_port("127.0.0.1", port) ? port : -1;
    if (port_ <= 0) return;
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeFiscalService::~FakeFiscalService() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    server_.stop();
    if (thread_.joinable()) thread_.join();
    for (auto& t : later_) t.join();
}

void FakeFiscalService::misbehave(const std::string& path, Misbehaviour how) {
    std::lock_guard lock(mutex_);
    misbehaviour_[path] = how;
}

void FakeFiscalService::setNextSequenceId(std::int64_t id) {
    std::lock_guard lock(mutex_);
    nextSequenceId_ = id;
}

void FakeFiscalService::setDate(const std::string& date) {
    std::lock_guard lock(mutex_);
    if (date.substr(3, 7) != date_.substr(3, 7)) {
        nextSequenceId_ = 1;
        ++months_;
    }
    date_ = date;
}

void FakeFiscalService::keyIn(const std::string& externalId) {
    std::lock_guard lock(mutex_);
    registerDocument({{"externalId", externalId}});
}

void FakeFiscalService::setLastDocument(nlohmann::json document) {
    std::lock_guard lock(mutex_);
    documents_.push_back(document);
    last_ = std::move(document);
}

void FakeFiscalService::setDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    delay_ = delay;
}

void FakeFiscalService::whenReceived(const std::string& path, std::function<void()> action) {
    std::lock_guard lock(mutex_);
    received_[path] = std::move(action);
}

std::vector<FakeFiscalService::Request> FakeFiscalService::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<FakeFiscalService::Request> FakeFiscalService::requests(const std::string& path) const {
    std::vector<Request> found;
    for (auto& r : requests())
        if (r.path == path) found.push_back(r);
    return found;
}

std::optional<nlohmann::json> FakeFiscalService::lastDocument() const {
    std::lock_guard lock(mutex_);
    return last_;
}

std::size_t FakeFiscalService::registered() const {
    std::lock_guard lock(mutex_);
    return documents_.size();
}

nlohmann::json FakeFiscalService::registerDocument(const nlohmann::json& body) {
    std::int64_t id = nextSequenceId_++;
    // Identifiers stay unique when a new month numbers from 1 again.
    const std::string month = months_ ? "-" + std::to_string(months_) : "";
    nlohmann::json document = {{"uuid", "O-" + std::to_string(1000 + id) + month + "-UID"},
                               {"okp", "OKP-" + std::to_string(id) + month + "-ABCD"},
                               {"sequenceId", id},
                               {"createDate", date_},
                               {"issueDate", date_},
                               {"processDate", date_}};
    if (auto externalId = findExternalId(body)) document["externalId"] = *externalId;
    documents_.push_back(document);
    last_ = document;
    return document;
}

void FakeFiscalService::handle(const httplib::Request& req, httplib::Response& res) {
    std::function<void()> action;
    {
        std::lock_guard lock(mutex_);
        if (auto it = received_.find(req.path); it != received_.end()) action = it->second;
    }
    if (action) action();
    std::unique_lock lock(mutex_);
    Request recorded{req.path, req.body, {}};
    for (const auto& [name, value] : req.headers) recorded.headers[name] = value;
    requests_.push_back(recorded);
    Misbehaviour how = Misbehaviour::none;
    if (auto it = misbehaviour_.find(req.path); it != misbehaviour_.end()) how = it->second;

    switch (how) {
        case Misbehaviour::status500:
            res.status = 500;
            res.set_content("{\"error\" : \"internal\"}", "application/json");
            return;
        case Misbehaviour::silence:
            stopped_.wait_for(lock, std::chrono::seconds(20), [this] { return stopping_; });
            res.status = 500;
            return;
        case Misbehaviour::notJson:
            res.set_content("<html>Service Unavailable</html>", "text/html");
            return;
        case Misbehaviour::errorReply:
            res.set_content("{\"error\" : \"tlaciaren nie je pripojena\"}", "application/json");
            return;
        case Misbehaviour::noDocument:
            res.set_content("{}", "application/json");
            return;
        case Misbehaviour::trickle:
            res.status = 200;
            res.set_chunked_content_provider("application/json", [this](std::size_t, httplib::DataSink& sink) {
                std::unique_lock wait(mutex_);
                if (stopped_.wait_for(wait, std::chrono::milliseconds(100), [this] { return stopping_; })) return false;
                wait.unlock();
                return sink.write(" ", 1);
            });
            return;
        case Misbehaviour::redirect:
            misbehaviour_[req.path] = Misbehaviour::none;
            if (auto body = nlohmann::json::parse(req.body, nullptr, false); body.is_object()) registerDocument(body);
            res.status = 307;
            res.set_header("Location", "http://127.0.0.1:" + std::to_string(port_) + req.path);
            return;
        case Misbehaviour::gatewayLate:
            later_.emplace_back([this, body = req.body] {
                std::unique_lock wait(mutex_);
                if (stopped_.wait_for(wait, delay_, [this] { return stopping_; })) return;
                if (auto json = nlohmann::json::parse(body, nullptr, false); json.is_object()) registerDocument(json);
            });
            res.status = 504;
            res.set_content("<html>504 Gateway Time-out</html>", "text/html");
            return;
        case Misbehaviour::late:
            // Other requests are answered meanwhile, from what is registered so far.
            if (stopped_.wait_for(lock, delay_, [this] { return stopping_; })) {
                res.status = 500;
                return;
            }
            break;
        default:
            break;
    }

    auto body = nlohmann::json::parse(req.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) {
        res.status = 400;
        res.set_content("{\"error\" : \"invalid json\"}", "application/json");
        return;
    }
    nlohmann::json reply = nlohmann::json::object();
    if (req.path == "/api/document/store" || req.path == "/api/cash") {
        auto before = last_;
        auto document = registerDocument(body);
        if (how == Misbehaviour::foreignRecord)
            document = before.value_or(nlohmann::json{{"externalId", "1"}, {"sequenceId", 0}});
        if (how == Misbehaviour::foreignIdentifiers && before) {
            document["uuid"] = before->value("uuid", "");
            document["okp"] = before->value("okp", "");
        }
        reply[req.path == "/api/cash" ? "cash" : "document"] = document;
    } else if (req.path == "/api/document/get") {
        auto wanted = body.find("documentBySequenceId");
        if (wanted != body.end() && how == Misbehaviour::lastForAny && last_) {
            reply["document"] = *last_;
        } else if (wanted != body.end()) {
            const auto& w = *wanted;
            bool found = false;
            for (const auto& d : documents_) {
                const std::string date = d.value("createDate", "");
                if (std::atoll(w.value("sequenceId", "").c_str()) == d.value("sequenceId", 0LL) &&
                    date.size() >= 10 && w.value("month", "") == date.substr(3, 2) &&
                    w.value("year", "") == date.substr(6, 4)) {
                    reply["document"] = d;
                    found = true;
                }
            }
            if (!found) reply["error"] = "doklad nenajdeny";
        } else if (last_) {
            reply["document"] = *last_;
        }
    }
    if (how == Misbehaviour::status201) res.status = 201;
    res.set_content(reply.dump(), "application/json");
}
