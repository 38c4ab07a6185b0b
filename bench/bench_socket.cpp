// Moving 64 MiB over loopback through the socket layer (one socket writes,
// the other reads to length) against a plain blocking send/recv pair whose
// sending thread, like the layer's threads, runs before the runs begin; the
// two run interleaved and their throughputs are compared. Connecting and
// closing are left out of the time.
#include "RatioReporter.h"
#include "net/socket/NetSocket.h"
#include "platform/DispatchQueue.h"
#include "platform/DispatchSemaphore.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kBytes = 64u << 20;

struct Listener {
    int fd = -1;
    std::uint16_t port = 0;
    Listener() {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd, 4);
        socklen_t len = sizeof a;
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Listener() { ::close(fd); }
};

class Waiter : public NetSocketDelegate {
public:
    platform::DispatchSemaphore connected, readDone, disconnected;
    std::size_t received = 0;
    void socketDidConnectToHost(const std::shared_ptr<NetSocket>&, const std::string&, std::uint16_t) override {
        connected.signal();
    }
    void socketDidReadData(const std::shared_ptr<NetSocket>&, const NetBytes& data, std::int64_t) override {
        received = data.size();
        readDone.signal();
    }
    void socketDidDisconnect(const std::shared_ptr<NetSocket>&, const std::optional<NetSocketError>&) override {
        disconnected.signal();
    }
};

// One transfer through the layer; the payload, the receiving buffer and the
// delegate queue are made once.
class LayerTransfer {
public:
    void run() {
        std::optional<Listener> listener;
        std::shared_ptr<Waiter> readerDelegate;
        std::shared_ptr<NetSocket> writer, reader;
        {
            bench::Untimed connecting;
            listener.emplace();
            auto writerDelegate = std::make_shared<Waiter>();
            readerDelegate = std::make_shared<Waiter>();
            writer = NetSocket::create(writerDelegate, delegateQueue_);
            writer->connectToHost("127.0.0.1", listener->port, 5.0);
            int accepted = ::accept4(listener->fd, nullptr, nullptr, SOCK_CLOEXEC);
            writerDelegate->connected.wait();
            reader = NetSocket::socketFromConnectedSocketFD(accepted, readerDelegate, delegateQueue_, nullptr);
        }
        reader->readDataToLength(kBytes, 30.0, sink_, 0, 1);
        writer->writeData(payload_, 30.0, 1);
        readerDelegate->readDone.wait();
        bench::Untimed closing;
        const bool whole = readerDelegate->received == kBytes;
        writer->disconnect();
        reader->disconnect();
        writer.reset();
        reader.reset();
        listener.reset();
        if (!whole) throw std::runtime_error("short read");
    }

private:
    std::shared_ptr<const NetBytes> payload_ = std::make_shared<const NetBytes>(kBytes, 0x5a);
    std::shared_ptr<NetBytes> sink_ = std::make_shared<NetBytes>(kBytes);
    std::shared_ptr<platform::DispatchQueue> delegateQueue_ = platform::DispatchQueue::createSerial("bench.delegate");
};

// The sending thread of the baseline, started once and handed one socket
// per run, as the layer's threads are running before its runs begin.
class Sender {
public:
    explicit Sender(const std::vector<std::uint8_t>& payload)
        : payload_(payload), thread_([this] { loop(); }) {}
    ~Sender() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            quit_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    void send(int fd) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            fd_ = fd;
        }
        cv_.notify_all();
    }
    void waitSent() {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [this] { return fd_ < 0; });
    }

private:
    void loop() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            cv_.wait(lock, [this] { return quit_ || fd_ >= 0; });
            if (quit_)
                return;
            const int fd = fd_;
            lock.unlock();
            std::size_t done = 0;
            while (done < payload_.size()) {
                ssize_t n = ::send(fd, payload_.data() + done, payload_.size() - done, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                done += static_cast<std::size_t>(n);
            }
            lock.lock();
            fd_ = -1;
            cv_.notify_all();
        }
    }

    const std::vector<std::uint8_t>& payload_;
    std::mutex mutex_;
    std::condition_variable cv_;
    int fd_ = -1;
    bool quit_ = false;
    std::thread thread_;
};

// One transfer with blocking calls: the sender thread writes, this thread
// reads to length.
class PlainTransfer {
public:
    void run() {
        std::optional<Listener> listener;
        int client = -1, server = -1;
        {
            bench::Untimed connecting;
            listener.emplace();
            client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(listener->port);
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            ::connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
            server = ::accept4(listener->fd, nullptr, nullptr, SOCK_CLOEXEC);
        }
        sender_.send(client);
        std::size_t got = 0;
        while (got < kBytes) {
            ssize_t n = ::recv(server, sink_.data() + got, kBytes - got, 0);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        sender_.waitSent();
        bench::Untimed closing;
        ::close(client);
        ::close(server);
        listener.reset();
        if (got != kBytes) throw std::runtime_error("short read");
    }

private:
    std::vector<std::uint8_t> payload_ = std::vector<std::uint8_t>(kBytes, 0x5a);
    std::vector<std::uint8_t> sink_ = std::vector<std::uint8_t>(kBytes);
    Sender sender_{payload_};
};

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter::readArguments(argc, argv);
    LayerTransfer layer;
    PlainTransfer plain;
    const bool ok = bench::RatioReporter::compare(
        "moving 64 MiB: socket layer / plain blocking send and recv", [&layer] { layer.run(); },
        [&plain] { plain.run(); }, {.rounds = 15, .batchSeconds = 0, .throughput = true, .goal = "goal at least 0.9"});
    return ok ? 0 : 1;
}
