#include "fiscal/Test.h"

#include "net/socket/NetSocket.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"

#include <cstdio>

using platform::Console;

namespace {

std::string hexDescription(const NetBytes& data) {
    std::string out = "<";
    char hex[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0 && i % 4 == 0) out += ' ';
        std::snprintf(hex, sizeof hex, "%02x", data[i]);
        out += hex;
    }
    return out + ">";
}

std::string byteList(const NetBytes& data) {
    std::string out = "[";
    for (std::size_t i = 0; i < data.size(); ++i) out += (i ? ", " : "") + std::to_string(data[i]);
    return out + "]";
}

bool isAscii(const NetBytes& data) {
    for (auto b : data)
        if (b >= 0x80) return false;
    return true;
}

}  // namespace

Test::Test() : asyncSocket(NetSocket::create()) {}

void Test::viewDidLoad() { platform::ViewController::viewDidLoad(); }

void Test::btn1Action() {
    Console::print("create pressed");
    std::weak_ptr<NetSocketDelegate> self = std::dynamic_pointer_cast<Test>(shared_from_this());
    asyncSocket = NetSocket::create(self, platform::DispatchQueue::main());
}

void Test::btn2Action() {
    Console::print("connect pressed");
    Console::print("host= " + host);
    Console::print("port= " + std::to_string(port));
    std::optional<NetSocketError> error;
    if (!asyncSocket->connectToHost(host, port, connectTimeout, &error))
        Console::print("error: " + (error ? error->localizedDescription() : std::string("?")));
}

void Test::btn3Action() {
    Console::print("disconnect pressed");
    asyncSocket->disconnect();
}

void Test::btn4Action() { send("btn4 pressed", {0x1B, 0x11}, 1, Reply::fiveBytes, true); }
void Test::btn5Action() { send("btn5 pressed", {0x1B, 0x49}, 1, Reply::toEtx, false); }
void Test::btn6Action() { send("btn6 pressed", {0x1B, 0x63}, 3, Reply::none, false); }
void Test::btn7Action() { send("btn7 pressed", {0x1B, 0x11, 0x1B, 0x65}, 1, Reply::fiveBytes, true); }
void Test::btn8Action() { send("btn8 pressed", {0x1B, 0x49, 0x1B, 0x65}, 1, Reply::toEtx, false); }
void Test::btn9Action() { send("btn9 pressed", {0x1B, 0x63, 0x1B, 0x65}, 3, Reply::none, false); }

void Test::send(const std::string& line, const NetBytes& request, std::int64_t writeTag, Reply reply,
                bool describe) {
    Console::print(line);
    if (describe) {
        Console::print(std::string(request.begin(), request.end()));
        Console::print(hexDescription(request));
        Console::print(byteList(request));
    }
    asyncSocket->writeData(request, ioTimeout, writeTag);
    if (reply == Reply::fiveBytes) asyncSocket->readDataToLength(5, ioTimeout, 1);
    if (reply == Reply::toEtx) asyncSocket->readDataToData(NetBytes{0x03}, ioTimeout, 2);
}

void Test::socketDidConnectToHost(const std::shared_ptr<NetSocket>& sock, const std::string&, std::uint16_t) {
    Console::print("socket didconnect");
    sock->readDataToLength(wifiResponse.size(), ioTimeout, 0);
}

void Test::socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>&, std::int64_t) {
    Console::print("socket didwrite");
}

void Test::socketDidReadData(const std::shared_ptr<NetSocket>&, const NetBytes& data, std::int64_t tag) {
    Console::print("socket didread");
    Console::print("tag= " + std::to_string(tag));
    Console::print("data= " + hexDescription(data));
    Console::print("str= " + (isAscii(data) ? std::string(data.begin(), data.end()) : std::string("nil")));
    Console::print("byteArray= " + byteList(data));
}

void Test::socketDidDisconnect(const std::shared_ptr<NetSocket>&, const std::optional<NetSocketError>& error) {
    Console::print("socket diddisconnect");
    Console::print(error ? error->localizedDescription() : std::string("nil"));
}

void Test::socketDidSecure(const std::shared_ptr<NetSocket>&) {}

void Test::socketDidReceiveTrust(const std::shared_ptr<NetSocket>&, const std::shared_ptr<NetSocketTrust>&,
                                 std::function<void(bool)> completionHandler) {
    if (completionHandler) completionHandler(true);
}

bool Test::respondsTo(NetSocketCallback callback) const {
    return callback != NetSocketCallback::ShouldTimeoutRead && callback != NetSocketCallback::ShouldTimeoutWrite;
}
