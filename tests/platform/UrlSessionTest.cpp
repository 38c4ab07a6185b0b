#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "LocalServer.h"
#include "fakes/KeepAliveFront.h"
#include "fakes/LoopbackPeer.h"
#include "platform/FileManager.h"
#include "platform/UrlSession.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

// Collects the ends of data tasks and counts them.
struct Outcome {
    std::mutex mutex;
    std::condition_variable cv;
    int calls = 0;
    std::optional<std::string> data;
    std::shared_ptr<HttpUrlResponse> response;
    std::optional<Error> error;

    DataTaskCompletion handler() {
        return [this](std::optional<std::string> d, std::shared_ptr<HttpUrlResponse> r,
                      std::optional<Error> e) {
            std::lock_guard lock(mutex);
            ++calls;
            data = std::move(d);
            response = std::move(r);
            error = std::move(e);
            cv.notify_all();
        };
    }
    // Waits for the first end, then a little longer to see that no second one follows.
    int wait() {
        std::unique_lock lock(mutex);
        cv.wait_for(lock, 3s, [this] { return calls > 0; });
        lock.unlock();
        std::this_thread::sleep_for(30ms);
        lock.lock();
        return calls;
    }
};

UrlRequest request(const std::string& address, double timeout = 5.0) {
    return UrlRequest(*Url::parse(address), timeout);
}

class UrlSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        local.server.Get("/hello", [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("X-Echo", req.get_header_value("X-Trekora"));
            res.set_content("ahoj, svet č", "text/plain; charset=utf-8");
        });
        local.server.Post("/echo", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(seenMutex);
            seenHeaders = req.headers;
            seenBody = req.body;
            res.set_content("got " + std::to_string(req.body.size()), "text/plain");
        });
        local.server.Get("/file.db3", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(100000, 'x'), "application/octet-stream");
        });
        local.server.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
            gate.wait();
            res.set_content("late", "text/plain");
        });
        local.server.Get("/moved", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/hello");
        });
        local.start();
    }
    void TearDown() override {
        gate.open();
        UrlSession::setMaximumTimeout(std::nullopt);
    }

    LocalServer local;
    Gate gate;
    std::mutex seenMutex;
    httplib::Headers seenHeaders;
    std::string seenBody;
};

}  // namespace

TEST_F(UrlSessionTest, GetAndHeadAnswerWithStatusHeadersAndBody) {
    Outcome got;
    auto req = request(local.url("/hello"));
    req.setValue("42", "X-Trekora");
    auto task = UrlSession::shared()->dataTask(req, got.handler());
    EXPECT_EQ(task->state(), UrlSessionTask::State::suspended);
    task->resume();
    ASSERT_EQ(got.wait(), 1);
    EXPECT_FALSE(got.error);
    ASSERT_TRUE(got.response);
    EXPECT_EQ(got.response->statusCode(), 200);
    EXPECT_EQ(got.response->value("x-echo"), "42");
    EXPECT_EQ(got.response->expectedContentLength(), 13);
    EXPECT_EQ(got.data, "ahoj, svet č");
    EXPECT_EQ(task->state(), UrlSessionTask::State::completed);

    Outcome head;
    auto h = request(local.url("/hello"));
    h.httpMethod = "HEAD";
    UrlSession::shared()->dataTask(h, head.handler())->resume();
    ASSERT_EQ(head.wait(), 1);
    ASSERT_TRUE(head.response);
    EXPECT_EQ(head.response->statusCode(), 200);
    EXPECT_EQ(head.data, "");

    Outcome moved;
    UrlSession::shared()->dataTask(request(local.url("/moved")), moved.handler())->resume();
    ASSERT_EQ(moved.wait(), 1);
    EXPECT_EQ(moved.data, "ahoj, svet č");
    EXPECT_EQ(moved.response->url().path(), "/hello");
}

TEST_F(UrlSessionTest, PostSendsHeadersInOrderAndTheBody) {
    Outcome got;
    auto req = request(local.url("/echo"));
    req.httpMethod = "POST";
    req.setValue("5", "Content-Length");
    req.setValue("application/json", "Content-Type");
    req.setValue("CP852", "Accept-Charset");
    req.httpBody = std::string("\x9f\x00xyz", 5);
    UrlSession::shared()->dataTask(req, got.handler())->resume();
    ASSERT_EQ(got.wait(), 1);
    EXPECT_EQ(got.data, "got 5");
    std::lock_guard lock(seenMutex);
    EXPECT_EQ(seenBody, std::string("\x9f\x00xyz", 5));
    auto header = [&](const char* name) {
        auto it = seenHeaders.find(name);
        return it == seenHeaders.end() ? std::string("(none)") : it->second;
    };
    EXPECT_EQ(header("Content-Type"), "application/json");
    EXPECT_EQ(header("Accept-Charset"), "CP852");
    EXPECT_EQ(header("Content-Length"), "5");
    EXPECT_EQ(header("Expect"), "(none)");
}

TEST_F(UrlSessionTest, ErrorStatusIsAnAnswerWithItsReasonPhrase) {
    Outcome got;
    UrlSession::shared()->dataTask(request(local.url("/none")), got.handler())->resume();
    ASSERT_EQ(got.wait(), 1);
    EXPECT_FALSE(got.error);
    ASSERT_TRUE(got.response);
    EXPECT_EQ(got.response->statusCode(), 404);
    EXPECT_EQ(HttpUrlResponse::localizedString(404), "not found");
    EXPECT_EQ(HttpUrlResponse::localizedString(500), "internal server error");
    EXPECT_EQ(HttpUrlResponse::localizedString(599), "server error");
}

TEST_F(UrlSessionTest, RefusedBadAndUnsupportedAddressesEndOnceWithAnError) {
    Outcome refused;
    std::string address = "http://127.0.0.1:" + std::to_string(unusedLocalPort()) + "/x";
    UrlSession::shared()->dataTask(request(address), refused.handler())->resume();
    ASSERT_EQ(refused.wait(), 1);
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code(), UrlSessionTask::cannotConnectToHost);
    EXPECT_FALSE(refused.response);
    EXPECT_FALSE(refused.data);

    Outcome bad;
    UrlSession::shared()->dataTask("http://127.0.0.1/a b", bad.handler())->resume();
    ASSERT_EQ(bad.wait(), 1);
    EXPECT_EQ(bad.error->code(), UrlSessionTask::badUrl);

    Outcome unsupported;
    UrlSession::shared()->dataTask("ftp://127.0.0.1/x", unsupported.handler())->resume();
    ASSERT_EQ(unsupported.wait(), 1);
    EXPECT_EQ(unsupported.error->code(), UrlSessionTask::unsupportedUrl);
}

TEST_F(UrlSessionTest, AnswerWithoutAnHttpStatusLineSaysItWasNotHttp) {
    for (const std::string& line : {std::string("GARBAGE 200 OK"), std::string("HTTP/1.1 OK")}) {
        SCOPED_TRACE(line);
        LoopbackPeer peer;
        std::thread server([&] {
            if (!peer.accept(3000)) return;
            peer.receive(16, 3000);
            peer.send(line + "\r\nContent-Length: 2\r\n\r\nok");
            peer.waitForClose(3000);
        });
        Outcome got;
        const std::string address = "http://127.0.0.1:" + std::to_string(peer.port()) + "/print";
        UrlSession::shared()->dataTask(request(address), got.handler())->resume();
        ASSERT_EQ(got.wait(), 1);
        server.join();
        ASSERT_TRUE(got.error);
        EXPECT_EQ(got.error->code(), UrlSessionTask::badServerResponse);
        EXPECT_EQ(got.error->localizedDescription(), "The server's answer was not HTTP (" + address + ")");
    }
}

TEST_F(UrlSessionTest, SilentServerTimesOutOnceAndQuickly) {
    Outcome got;
    auto start = std::chrono::steady_clock::now();
    UrlSession::shared()->dataTask(request(local.url("/slow"), 0.2), got.handler())->resume();
    ASSERT_EQ(got.wait(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);  // far below the standard 60 s
    ASSERT_TRUE(got.error);
    EXPECT_EQ(got.error->code(), UrlSessionTask::timedOut);
    EXPECT_EQ(got.error->localizedDescription(), "The request timed out (" + local.url("/slow") + ")");

    // The process-wide ceiling shortens the standard 60 s.
    UrlSession::setMaximumTimeout(0.2);
    Outcome capped;
    UrlSession::shared()->dataTask(request(local.url("/slow"), 60), capped.handler())->resume();
    ASSERT_EQ(capped.wait(), 1);
    EXPECT_EQ(capped.error->code(), UrlSessionTask::timedOut);
}

TEST_F(UrlSessionTest, CancelEndsOnceWhetherRunningOrNot) {
    Outcome running;
    auto task = UrlSession::shared()->dataTask(request(local.url("/slow")), running.handler());
    task->resume();
    std::this_thread::sleep_for(50ms);
    task->cancel();
    task->cancel();
    ASSERT_EQ(running.wait(), 1);
    EXPECT_EQ(running.error->code(), UrlSessionTask::cancelled);

    Outcome never;
    auto idle = UrlSession::shared()->dataTask(request(local.url("/hello")), never.handler());
    idle->cancel();
    idle->resume();
    ASSERT_EQ(never.wait(), 1);
    EXPECT_EQ(never.error->code(), UrlSessionTask::cancelled);
}

namespace {
struct RecordingDelegate : UrlSessionDelegate {
    std::mutex mutex;
    std::condition_variable cv;
    int64_t sent = 0, expectedToSend = 0, written = 0;
    std::string downloaded;
    std::string location;
    int completions = 0;
    std::optional<Error> error;

    void didSendBodyData(UrlSession&, UrlSessionTask&, int64_t, int64_t total, int64_t expected) override {
        std::lock_guard lock(mutex);
        sent = total;
        expectedToSend = expected;
    }
    void didWriteData(UrlSession&, UrlSessionTask&, int64_t, int64_t total, int64_t) override {
        std::lock_guard lock(mutex);
        written = total;
    }
    void didFinishDownloadingTo(UrlSession&, UrlSessionTask&, const Url& file) override {
        std::lock_guard lock(mutex);
        location = file.path();
        downloaded = FileManager::contents(location).value_or("(missing)");
    }
    void didCompleteWithError(UrlSession&, UrlSessionTask&, const std::optional<Error>& e) override {
        std::lock_guard lock(mutex);
        ++completions;
        error = e;
        cv.notify_all();
    }
    int wait() {
        std::unique_lock lock(mutex);
        cv.wait_for(lock, 3s, [this] { return completions > 0; });
        lock.unlock();
        std::this_thread::sleep_for(30ms);
        lock.lock();
        return completions;
    }
};
}  // namespace

TEST_F(UrlSessionTest, UploadReportsProgressAndCompletesThroughItsHandler) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto session = UrlSession::make(UrlSessionConfiguration::defaultConfiguration(), delegate);
    Outcome got;
    auto req = request(local.url("/echo"));
    req.httpMethod = "POST";
    req.setValue("application/octet-stream", "Content-Type");
    std::string body(200000, 'b');
    session->uploadTask(req, body, got.handler())->resume();
    ASSERT_EQ(got.wait(), 1);
    EXPECT_EQ(got.data, "got 200000");
    std::lock_guard lock(delegate->mutex);
    EXPECT_EQ(delegate->sent, 200000);
    EXPECT_EQ(delegate->expectedToSend, 200000);
    EXPECT_EQ(delegate->completions, 0);  // the handler had the end
}

TEST_F(UrlSessionTest, EveryKindOfRequestWorksWithAServerKeepingItsConnectionsAlive) {
    KeepAliveFront front(local.port());
    ASSERT_TRUE(front.ok());
    auto session = UrlSession::make(UrlSessionConfiguration::defaultConfiguration());
    auto run = [&](UrlRequest req, std::optional<std::string> upload = std::nullopt) {
        Outcome got;
        auto task = upload ? session->uploadTask(req, *upload, got.handler()) : session->dataTask(req, got.handler());
        task->resume();
        EXPECT_EQ(got.wait(), 1);
        EXPECT_FALSE(got.error) << got.error->localizedDescription();
        EXPECT_EQ(got.response ? got.response->statusCode() : 0, 200);
        return got.data.value_or("<none>");
    };
    EXPECT_EQ(run(request(front.url("/hello"))), "ahoj, svet č");
    EXPECT_EQ(run(request(front.url("/hello"))), "ahoj, svet č");
    auto post = request(front.url("/echo"));
    post.httpMethod = "POST";
    post.setValue("application/octet-stream", "Content-Type");
    post.httpBody = "abc";
    EXPECT_EQ(run(post), "got 3");
    EXPECT_EQ(run(post, std::string(70000, 'u')), "got 70000");
    auto head = request(front.url("/hello"));
    head.httpMethod = "HEAD";
    EXPECT_EQ(run(head), "");
    EXPECT_EQ(run(request(front.url("/hello"))), "ahoj, svet č");
    const auto seen = front.requests();
    ASSERT_EQ(seen.size(), 6u);
    // The connection was kept: a later request came on an earlier one's.
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const auto& r) { return r.onConnection > 1; }));
}

TEST_F(UrlSessionTest, DownloadHandsOverATemporaryFileThenRemovesIt) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto session = UrlSession::make(UrlSessionConfiguration::defaultConfiguration(), delegate);
    session->downloadTask(request(local.url("/file.db3")))->resume();
    ASSERT_EQ(delegate->wait(), 1);
    std::lock_guard lock(delegate->mutex);
    EXPECT_FALSE(delegate->error);
    EXPECT_EQ(delegate->downloaded, std::string(100000, 'x'));
    EXPECT_EQ(delegate->written, 100000);
    EXPECT_FALSE(FileManager::fileExists(delegate->location));
    EXPECT_FALSE(FileManager::fileExists(FileManager::deletingLastPathComponent(delegate->location)));
}

TEST_F(UrlSessionTest, DownloadFailureReachesTheDelegateOnce) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto session = UrlSession::make(UrlSessionConfiguration::defaultConfiguration(), delegate);
    std::string address = "http://127.0.0.1:" + std::to_string(unusedLocalPort()) + "/x.db3";
    session->downloadTask(request(address))->resume();
    ASSERT_EQ(delegate->wait(), 1);
    std::lock_guard lock(delegate->mutex);
    ASSERT_TRUE(delegate->error);
    EXPECT_EQ(delegate->error->code(), UrlSessionTask::cannotConnectToHost);
    EXPECT_TRUE(delegate->location.empty());
}
