#include "fiscal/FT5000.h"

#include "fiscal/PrinterText.h"
#include "net/socket/NetSocket.h"
#include "platform/Console.h"

using platform::Console;

namespace {

const std::string kPageBreak("\x1b\x46\x0c\x03", 4);

// A trace of a row, short enough for the console.
std::string traceOf(const std::string& row) { return row.size() > 120 ? row.substr(0, 120) + "..." : row; }

}  // namespace

FT5000::FT5000(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port,
               std::string wifiResponse)
    : Fiskal(std::move(delegate), std::move(host), port, std::move(wifiResponse)) {
    deliveryTimeout = rawValue(TimeOut::read);
    writeTimeout = deliveryTimeout;
}

void FT5000::request(Command command, const std::string& text,
                     const std::map<std::string, std::string>& parameters) {
    beginRun(command, text, parameters, Tag::status);
    letPrinterCloseItsSide();
    connect();
    const std::size_t n = splitLines(text).size();
    Console::print("n=" + std::to_string(n));
    totalSteps = stepsOf(command, n);
}

void FT5000::pripravDoklad() {
    std::string text = PrinterText::withEscapes(txt);

    rowsToSend.clear();
    for (const auto& line : splitLines(text)) {
        Console::print(traceOf(line));
        if (hasPrintableLine(line)) rowsToSend.push_back(line + CRLF);
    }
    documentRows_ = rowsToSend.size();
    // Code table 18 first, so that the Slovak letters print.
    if (documentRows_ > 0) rowsToSend.insert(rowsToSend.begin(), PrinterText::selectCodeTable());
    auto it = fiskalCommandParameters.find("ODSTRANKOVAT_DOKLAD");
    if (it != fiskalCommandParameters.end() && it->second == "A") rowsToSend.push_back(kPageBreak);
}

void FT5000::posliDoklad() {
    for (const auto& row : rowsToSend) {
        const std::string bytes = PrinterText::cp852(row);
        Console::print("-----------");
        Console::print(traceOf(row));
        // Every write is bounded: a printer that stops taking bytes ends the
        // run with the socket's time-out instead of holding it forever, but
        // the bound is far beyond a printer's pause for paper.
        asyncSocket->writeData(NetBytes(bytes.begin(), bytes.end()), writeTimeout,
                               static_cast<std::int64_t>(Tag::statusPreRiadok));
        currentRowIndex += 1;
        progressStep();
    }
}

void FT5000::progressStep() { reportProgressStep(); }

void FT5000::socketDidConnectToHost(const std::shared_ptr<NetSocket>& sock, const std::string&, std::uint16_t) {
    Console::print("FT5000 didconnect");
    // An adapter configured without greeting: nothing to wait for.
    if (greetingLength() == 0) {
        greetingDone();
        return;
    }
    sock->readDataToLength(greetingLength(), readTimeout, 0);
}

void FT5000::socketDidReadData(const std::shared_ptr<NetSocket>&, const NetBytes& data, std::int64_t tag) {
    Console::print("FT5000 didread");
    Console::print("fiskalCommand=" + commandName(fiskalCommand));
    Console::print("tag=" + std::to_string(tag));
    Console::print("data=" + std::to_string(data.size()) + " bytes");
    Console::print("str=" + std::string(data.begin(), data.end()));
    if (tag == 0) greetingDone();
}

void FT5000::greetingDone() {
    greetingRead();
    pripravDoklad();
    // A print without a single line to print is no success; the link test
    // alone needs no text.
    if (documentRows_ == 0 && fiskalCommand != Command::testWifi) {
        fiskalError = kPrazdnyDoklad;
        disconnect();
        return;
    }
    posliDoklad();
    if (rowsToSend.empty()) {
        // Nothing was sent, so there is nothing to wait for.
        disconnectAfterReadingAndWriting();
        return;
    }
    disconnectWhenDelivered();
}

void FT5000::socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>&, std::int64_t) {
    Console::print("FT5000 didwrite");
}
