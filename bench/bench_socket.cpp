// Moving 64 MiB over loopback through the socket layer (one socket writes,
// the other reads to length) against a plain blocking send/recv pair whose
// sending thread, like the layer's threads, runs before the runs begin.
#include "net/socket/NetSocket.h"
#include "platform/DispatchQueue.h"
#include "platform/DispatchSemaphore.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>
#include <cstdio>
#include <thread>

namespace {

constexpr std::size_t kBytes = 64u << 20;

double gLayerBest = 0;
double gPlainBest = 0;

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

void BM_SocketLayer(benchmark::State& state) {
    auto payload = std::make_shared<const NetBytes>(kBytes, 0x5a);
    // The receiving buffer is reused by both sides of the comparison.
    auto sink = std::make_shared<NetBytes>(kBytes);
    auto delegateQueue = platform::DispatchQueue::createSerial("bench.delegate");
    for (auto _ : state) {
        Listener listener;
        auto writerDelegate = std::make_shared<Waiter>();
        auto readerDelegate = std::make_shared<Waiter>();
        auto writer = NetSocket::create(writerDelegate, delegateQueue);
        writer->connectToHost("127.0.0.1", listener.port, 5.0);
        int accepted = ::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC);
        writerDelegate->connected.wait();
        auto reader = NetSocket::socketFromConnectedSocketFD(accepted, readerDelegate, delegateQueue, nullptr);

        auto start = std::chrono::steady_clock::now();
        reader->readDataToLength(kBytes, 30.0, sink, 0, 1);
        writer->writeData(payload, 30.0, 1);
        readerDelegate->readDone.wait();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        if (readerDelegate->received != kBytes)
            state.SkipWithError("short read");
        double rate = static_cast<double>(kBytes) / seconds;
        if (rate > gLayerBest)
            gLayerBest = rate;

        writer->disconnect();
        reader->disconnect();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBytes));
}

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

void BM_PlainBlocking(benchmark::State& state) {
    std::vector<std::uint8_t> payload(kBytes, 0x5a);
    std::vector<std::uint8_t> sink(kBytes);
    Sender sender(payload);
    for (auto _ : state) {
        Listener listener;
        int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(listener.port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
        int server = ::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC);

        auto start = std::chrono::steady_clock::now();
        sender.send(client);
        std::size_t got = 0;
        while (got < kBytes) {
            ssize_t n = ::recv(server, sink.data() + got, kBytes - got, 0);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        sender.waitSent();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        double rate = static_cast<double>(kBytes) / seconds;
        if (rate > gPlainBest)
            gPlainBest = rate;
        ::close(client);
        ::close(server);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBytes));
}

} // namespace

BENCHMARK(BM_PlainBlocking)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_SocketLayer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gPlainBest > 0 && gLayerBest > 0) {
        std::printf("socket layer %.0f MiB/s, plain blocking %.0f MiB/s, ratio %.2f (best runs; goal at least 0.9)\n",
                    gLayerBest / (1 << 20), gPlainBest / (1 << 20), gLayerBest / gPlainBest);
    }
    return 0;
}
