#include "fiscal/Fiskal.h"

#include "net/socket/NetSocket.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"

#include <limits>

using platform::Console;

namespace {

std::string numberText(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    return buffer;
}

}  // namespace

double Fiskal::rawValue(TimeOut timeOut) {
    switch (timeOut) {
    case TimeOut::connect: return 4.0;
    case TimeOut::read: return 30.0;
    case TimeOut::write: return 2.0;
    case TimeOut::long_: return 8000.0;
    }
    return 0;
}

std::optional<Fiskal::TimeOut> Fiskal::timeOutFromRaw(double seconds) {
    for (TimeOut t : {TimeOut::connect, TimeOut::read, TimeOut::write, TimeOut::long_})
        if (rawValue(t) == seconds) return t;
    return std::nullopt;
}

std::optional<Fiskal::Tag> Fiskal::tagFromRaw(std::int64_t raw) {
    switch (raw) {
    case -1: case 1: case 2: case 3: case 4: case 5: case 10: case 11: return static_cast<Tag>(raw);
    default: return std::nullopt;
    }
}

std::string Fiskal::commandName(Command command) {
    static const char* const names[] = {
        "getStatus", "tlacDennuUzavierku", "tlacPrehladovuUzavierku", "tlacDoklad", "tlacVklad", "tlacVyber",
        "tlacKopiuPoslednehoDokladu", "tlacKopiuPoslednejUzavierky", "tlacKopiuUzavierkyPodlaCisla",
        "tlacKopieDokladovZaUzavierku", "tlacSumarObratov", "tlacIntervalovuSuhrnnuUzavierkuOdDatumuDoDatumu",
        "tlacIntervalovuPodrobnuUzavierkuOdDatumuDoDatumu", "tlacNefiskalnyDoklad", "testWifi", "tlacKopiuDokladu",
        "nastavDatumACas", "citajInfoSubor", "citajHodnotyPoslednehoDokladu", "aktualizujPolohu", "fixDoklad",
        "tlacUhraduFaktury", "nerobNic", "nastavPredajcu"};
    const int index = static_cast<int>(command);
    if (index < 0 || index >= static_cast<int>(sizeof names / sizeof names[0])) return "?";
    return names[index];
}

Fiskal::Fiskal(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port,
               std::string wifiResponse)
    : host(std::move(host)),
      port(port),
      wifiResponse(std::move(wifiResponse)),
      fiskalDelegate(std::move(delegate)) {
    // The delegate link needs the owning pointer, which exists only after
    // construction: the socket gets it when the driver first connects.
    asyncSocket = NetSocket::create({}, platform::DispatchQueue::main());
}

Fiskal::~Fiskal() {
    if (asyncSocket) {
        asyncSocket->synchronouslySetDelegate(std::weak_ptr<NetSocketDelegate>{});
        asyncSocket->disconnect();
    }
}

void Fiskal::attachSocket() {
    if (!asyncSocket) {
        createSocket();
        return;
    }
    if (!asyncSocket->delegate()) asyncSocket->synchronouslySetDelegate(weak_from_this());
}

void Fiskal::createSocket() {
    asyncSocket = NetSocket::create(weak_from_this(), platform::DispatchQueue::main());
}

void Fiskal::connect() {
    attachSocket();
    std::optional<NetSocketError> error;
    if (asyncSocket->connectToHost(host, port, connectTimeout, &error)) {
        Console::print(host);
        Console::print(std::to_string(port));
        Console::print(numberText(connectTimeout));
        return;
    }
    const std::string description = error ? error->localizedDescription() : std::string("connect failed");
    Console::print("error: " + description);
    fiskalError = description;
    finish(fiskalError);
}

void Fiskal::disconnect() {
    if (asyncSocket) asyncSocket->disconnect();
}

void Fiskal::disconnectAfterReadingAndWriting() {
    if (asyncSocket) asyncSocket->disconnectAfterReadingAndWriting();
}

void Fiskal::request(Command command) { request(command, ""); }

void Fiskal::request(Command command, const std::string& text) { request(command, text, {}); }

void Fiskal::request(Command, const std::string&, const std::map<std::string, std::string>&) {}

void Fiskal::beginRun(Command command, const std::string& text, const std::map<std::string, std::string>& parameters,
                      Tag tag) {
    fiskalCommand = command;
    fiskalCommandParameters = parameters;
    txt = text;
    currentStep = 0;
    totalSteps = 0;
    currentRowIndex = 0;
    rowsToSend.clear();
    cdok.clear();
    pocetDokladov.clear();
    info.clear();
    hodnoty.clear();
    doklad.clear();
    // Nothing of an earlier run may reach this run's result.
    fiskalError.clear();
    fiskalData.clear();
    finished_ = false;
    greetingRead_ = false;
    currentTag = tag;
    if (auto it = parameters.find("CDOK"); it != parameters.end()) cdok = it->second;
    Console::print("cdok= " + cdok);
}

void Fiskal::finish(const std::string& result) {
    if (finished_) return;
    finished_ = true;
    // The client may drop the driver from inside the call.
    auto keepAlive = weak_from_this().lock();
    if (fiskalDelegate)
        fiskalDelegate->fiskalFinished(fiskalCommand, result, fiskalData, info, hodnoty, doklad, pocetDokladov,
                                       currentTag);
}

std::string Fiskal::resultText(const std::optional<NetSocketError>& error) const {
    if (error) return error->localizedDescription();
    if (!fiskalError.empty()) return fiskalError;
    return "OK";
}

float Fiskal::stepsOf(Command command, std::size_t lines) {
    switch (command) {
    case Command::tlacDennuUzavierku: return 12;
    case Command::tlacDoklad:
    case Command::tlacVklad:
    case Command::tlacVyber: return 12 + static_cast<float>(lines);
    case Command::tlacNefiskalnyDoklad: return 4 + static_cast<float>(lines);
    case Command::tlacPrehladovuUzavierku:
    case Command::tlacKopiuPoslednehoDokladu:
    case Command::tlacKopiuPoslednejUzavierky:
    case Command::tlacKopiuUzavierkyPodlaCisla:
    case Command::tlacKopieDokladovZaUzavierku:
    case Command::tlacSumarObratov: return 5;
    case Command::tlacIntervalovuSuhrnnuUzavierkuOdDatumuDoDatumu:
    case Command::tlacIntervalovuPodrobnuUzavierkuOdDatumuDoDatumu:
    case Command::tlacKopiuDokladu:
    case Command::nastavDatumACas:
    case Command::citajInfoSubor:
    case Command::citajHodnotyPoslednehoDokladu: return 4;
    default: return 100000;
    }
}

void Fiskal::reportProgressStep() {
    currentStep += 1;
    float p = currentStep / totalSteps;
    if (p > 1 || totalSteps == 0) p = 1;
    if (p < 0) p = 0;
    if (fiskalDelegate) fiskalDelegate->fiskalProgress(p);
}

std::uint64_t Fiskal::greetingLength() const {
    std::uint64_t count = 0;
    for (unsigned char c : wifiResponse)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

void Fiskal::later(double seconds, std::function<void()> step) {
    std::weak_ptr<Fiskal> weak = weak_from_this();
    auto socket = asyncSocket;
    platform::DispatchQueue::main()->asyncAfter(seconds, [weak, socket, step = std::move(step)] {
        auto me = weak.lock();
        if (!me || me->isFinished() || me->asyncSocket != socket || !socket->isConnected()) return;
        step();
    });
}

void Fiskal::letPrinterCloseItsSide() {
    attachSocket();
    asyncSocket->setAutoDisconnectOnClosedReadStream(false);
}

void Fiskal::disconnectWhenDelivered() {
    // An adapter may close its side as soon as it has the document. That
    // close ends nothing here: whether the bytes arrived is told by their
    // acknowledgement, and a reset still shows as an error.
    asyncSocket->setAutoDisconnectOnClosedReadStream(false);
    leastOutstanding_ = std::numeric_limits<std::uint64_t>::max();
    lastProgress_ = std::chrono::steady_clock::now();
    settledSince_.reset();
    checkDelivery();
}

void Fiskal::checkDelivery() {
    if (isFinished()) return;
    std::optional<NetSocketError> error;
    const auto outstanding = asyncSocket->unacknowledgedWriteBytes(&error);
    if (!outstanding) {
        // Reset or closed before the printer's side had everything.
        fiskalError = (error ? *error : NetSocket::connectionClosedError()).localizedDescription();
        Console::print("not delivered: " + fiskalError);
        disconnect();
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (*outstanding == 0) {
        if (!settledSince_) settledSince_ = now;
        if (now - *settledSince_ >= std::chrono::duration<double>(deliverySettle)) {
            Console::print("delivered");
            disconnect();
            return;
        }
    } else {
        settledSince_.reset();
        if (*outstanding < leastOutstanding_) {
            leastOutstanding_ = *outstanding;
            lastProgress_ = now;
        } else if (now - lastProgress_ >= std::chrono::duration<double>(deliveryTimeout)) {
            fiskalError = NetSocket::writeTimeoutError().localizedDescription();
            Console::print("not delivered: " + std::to_string(*outstanding) + " bytes outstanding");
            disconnect();
            return;
        }
    }
    later(deliveryPollInterval, [this] { checkDelivery(); });
}

std::vector<std::string> Fiskal::splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

bool Fiskal::hasPrintableLine(const std::string& text) {
    return text.find_first_not_of(" \t\r\n\f\v") != std::string::npos;
}

void Fiskal::socketDidConnectToHost(const std::shared_ptr<NetSocket>&, const std::string&, std::uint16_t) {
    Console::print("Fiskal didconnect");
}

void Fiskal::socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>&, std::int64_t) {
    Console::print("Fiskal didwrite");
}

void Fiskal::socketDidReadData(const std::shared_ptr<NetSocket>&, const NetBytes&, std::int64_t) {
    Console::print("Fiskal didread");
}

void Fiskal::socketDidCloseReadStream(const std::shared_ptr<NetSocket>& sock) {
    if (sock && sock != asyncSocket) return;
    Console::print("Fiskal readclosed");
    if (greetingRead_ || isFinished()) return;
    // Without the whole greeting nothing is sent, and no more of it comes.
    fiskalError = NetSocket::connectionClosedError().localizedDescription();
    disconnect();
}

void Fiskal::socketDidDisconnect(const std::shared_ptr<NetSocket>& sock, const std::optional<NetSocketError>& error) {
    // A socket that was replaced has no run to end.
    if (sock && sock != asyncSocket) return;
    Console::print("Fiskal diddisconnect");
    if (error) Console::print(error->localizedDescription());
    finish(resultText(error));
}

void Fiskal::socketDidSecure(const std::shared_ptr<NetSocket>&) {}

void Fiskal::socketDidReceiveTrust(const std::shared_ptr<NetSocket>&, const std::shared_ptr<NetSocketTrust>&,
                                   std::function<void(bool)> completionHandler) {
    if (completionHandler) completionHandler(true);
}

bool Fiskal::respondsTo(NetSocketCallback callback) const {
    return callback != NetSocketCallback::ShouldTimeoutRead && callback != NetSocketCallback::ShouldTimeoutWrite;
}
