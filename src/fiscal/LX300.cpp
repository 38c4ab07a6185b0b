#include "fiscal/LX300.h"

#include "fiscal/PrinterText.h"
#include "net/socket/NetSocket.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"

#include <chrono>

using platform::Console;

namespace {

const std::string kSetupRow("\x1b\x21\x01\x1b\x50\x1b\x78\x30\x0f\x1b\x74\x12", 12);
const std::string kClosingRow("\x1b\x21\x01", 3);
const std::string kFiscalPageBreak("\x1b\x46\x0c\x03", 4);

bool odstrankovat(const std::map<std::string, std::string>& parameters) {
    auto it = parameters.find("ODSTRANKOVAT_DOKLAD");
    return it != parameters.end() && it->second == "A";
}

}  // namespace

LX300::LX300(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port,
             std::string wifiResponse)
    : Fiskal(std::move(delegate), std::move(host), port, std::move(wifiResponse)) {
    // A dot-matrix printer pauses for paper and prints slowly: a row's write
    // and the wait for the last acknowledgement have the read time-out.
    deliveryTimeout = rawValue(TimeOut::read);
    writeTimeout = deliveryTimeout;
}

void LX300::request(Command command, const std::string& text, const std::map<std::string, std::string>& parameters) {
    Console::print("start request(command:txt:parameters:) ...");
    beginRun(command, text, parameters, Tag::status);
    letPrinterCloseItsSide();
    connect();
}

void LX300::socketDidConnectToHost(const std::shared_ptr<NetSocket>& sock, const std::string&, std::uint16_t) {
    Console::print("LX300 didconnect");
    // An adapter configured without greeting: nothing to wait for.
    if (greetingLength() == 0) {
        greetingDone();
        return;
    }
    sock->readDataToLength(greetingLength(), readTimeout, 0);
}

void LX300::socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>&, std::int64_t) {
    Console::print("LX300 didwrite");
}

void LX300::socketDidReadData(const std::shared_ptr<NetSocket>&, const NetBytes&, std::int64_t) {
    Console::print("LX300 didread");
    greetingDone();
}

void LX300::greetingDone() {
    greetingRead();
    switch (fiskalCommand) {
    case Command::tlacDennuUzavierku:
    case Command::tlacNefiskalnyDoklad:
    case Command::tlacDoklad:
    case Command::tlacVklad:
    case Command::tlacVyber:
    case Command::tlacUhraduFaktury:
        if (!hasPrintableLine(txt)) {
            fiskalError = kPrazdnyDoklad;
            disconnect();
            return;
        }
        if (fiskalCommand == Command::tlacDennuUzavierku || fiskalCommand == Command::tlacNefiskalnyDoklad)
            pripravNefiskalnyDoklad();
        else
            pripravDoklad();
        posliDoklad();
        return;
    case Command::testWifi:
    case Command::nerobNic:
        disconnect();
        return;
    default:
        // Every other command needs a fiscal device; the connection is
        // closed so that the run always ends.
        fiskalError = kNeviemVykonat;
        disconnect();
        return;
    }
}

void LX300::pripravDoklad() {
    Console::print("start pripravDoklad() ...");
    rowsToSend.clear();
    // Code table 18, so that the Slovak letters print.
    rowsToSend.push_back(PrinterText::selectCodeTable());
    for (const auto& line : splitLines(txt)) {
        rowsToSend.push_back(line + CR);
        Console::print(line);
    }
    if (odstrankovat(fiskalCommandParameters)) rowsToSend.push_back(kFiscalPageBreak);
    currentRowIndex = 0;
    currentStep = 0;
    totalSteps = static_cast<float>(rowsToSend.size());
}

void LX300::pripravNefiskalnyDoklad() {
    Console::print("start pripravNefiskalnyDoklad() ...");
    rowsToSend.clear();
    rowsToSend.push_back(kSetupRow);
    int counter = 1;
    for (const auto& line : splitLines(txt)) {
        rowsToSend.push_back(line + CRLF);
        if (++counter == 40) {
            rowsToSend.push_back(FF);
            counter = 1;
        }
    }
    rowsToSend.push_back(kClosingRow);
    if (odstrankovat(fiskalCommandParameters)) rowsToSend.push_back(FF);
    currentRowIndex = 0;
    currentStep = 0;
    totalSteps = static_cast<float>(rowsToSend.size());
}

void LX300::posliDoklad() {
    Console::print("start posliDoklad() ...");
    currentRowIndex = 0;
    sendRow();
}

void LX300::sendRow() {
    // The run already ended (the connection broke): nothing more to send.
    if (isFinished() || !asyncSocket) return;
    if (currentRowIndex >= static_cast<std::int64_t>(rowsToSend.size())) {
        disconnectWhenDelivered();
        return;
    }
    const std::string& row = rowsToSend[static_cast<std::size_t>(currentRowIndex)];
    const std::string bytes = PrinterText::cp852(row);
    asyncSocket->writeData(NetBytes(bytes.begin(), bytes.end()), writeTimeout, 0);
    Console::print(row);
    currentRowIndex += 1;
    progressStep();
    if (currentRowIndex >= static_cast<std::int64_t>(rowsToSend.size())) {
        disconnectWhenDelivered();
        return;
    }
    std::weak_ptr<Fiskal> weak = weak_from_this();
    platform::DispatchQueue::main()->asyncAfter(std::chrono::microseconds(SERIAL_WIFI_DELAY), [weak] {
        if (auto self = std::static_pointer_cast<LX300>(weak.lock())) self->sendRow();
    });
}

void LX300::progressStep() { reportProgressStep(); }
