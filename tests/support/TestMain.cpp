#include "platform/SystemSounds.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

#if defined(__SANITIZE_THREAD__)
constexpr bool underThreadSanitizer = true;
#else
constexpr bool underThreadSanitizer = false;
#endif

// Sends one request on a connection of its own and reads the answer whole.
void ask(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
        char buffer[4096];
        while (::recv(fd, buffer, sizeof buffer, 0) > 0) {
        }
    }
    ::close(fd);
}

// The HTTP server library under the fakes is a prebuilt library that the
// thread sanitizer does not see into. It builds function-local statics (the
// multipart parser's expressions and names, tables of its request reading)
// on first use, and the once-only guard's fast path runs inside it, unseen:
// two of its worker threads serving their first requests at once are then
// reported as racing on those statics. Here they are built once, on one
// thread, before any test serves a request; the server's threads are joined
// before the tests begin, so the sanitizer sees every later use follow.
// Nothing is suppressed, so a race in a fake's own handler is reported.
void buildHttpServerStatics() {
    httplib::Server server;
    server.Get(".*", [](const httplib::Request&, httplib::Response& res) { res.set_content("ok", "text/plain"); });
    server.Post(".*", [](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
        if (req.is_multipart_form_data())
            reader([](const httplib::MultipartFormData&) { return true; },
                   [](const char*, std::size_t) { return true; });
        else
            reader([](const char*, std::size_t) { return true; });
        res.set_content("ok", "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) return;
    std::thread thread([&server] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::string head = "Host: 127.0.0.1\r\nConnection: close\r\n";
    ask(port, "GET /warm HTTP/1.1\r\n" + head + "\r\n");
    ask(port, "HEAD /warm HTTP/1.1\r\n" + head + "\r\n");
    const std::string part =
        "--b\r\nContent-Disposition: form-data; name=\"f\"; filename=\"a.txt\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\nx\r\n--b--\r\n";
    ask(port, "POST /warm HTTP/1.1\r\n" + head + "Content-Type: multipart/form-data; boundary=b\r\nContent-Length: " +
                  std::to_string(part.size()) + "\r\n\r\n" + part);
    ask(port, "POST /warm HTTP/1.1\r\n" + head + "Content-Type: application/json\r\nContent-Length: 2\r\n\r\n{}");
    server.stop();
    thread.join();
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Tests run from a terminal stay quiet: alert sounds are only recorded.
    platform::SystemSounds::setBellEnabled(false);
    if (underThreadSanitizer) buildHttpServerStatics();
    return RUN_ALL_TESTS();
}
