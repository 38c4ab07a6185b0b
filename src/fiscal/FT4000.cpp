#include "fiscal/FT4000.h"

#include "fiscal/FT4000Frames.h"
#include "net/socket/NetSocket.h"
#include "platform/Console.h"

using platform::Console;

namespace {

std::string text(const NetBytes& data) { return std::string(data.begin(), data.end()); }

std::string byteList(const NetBytes& data) {
    std::string list;
    for (auto b : data) list += (list.empty() ? "" : " ") + std::to_string(b);
    return "[" + list + "]";
}

}  // namespace

FT4000::FT4000(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port,
               std::string wifiResponse)
    : Fiskal(std::move(delegate), std::move(host), port, std::move(wifiResponse)) {}

void FT4000::request(Command command, const std::string& txt, const std::map<std::string, std::string>& parameters) {
    beginRun(command, txt, parameters, Tag::status);
    preRiadokPolls_ = 0;
    const std::size_t n = FT4000Frames::lineCount(txt);
    Console::print("n= " + std::to_string(n));
    totalSteps = stepsOf(command, n);
    connect();
}

// --- status ---------------------------------------------------------------

bool FT4000::check(const NetBytes& reply, const std::vector<int>& judged, const char* header) {
    Console::print(header);
    const std::string bytes = text(reply);
    status = Status::decode(bytes);
    fiskalError.clear();
    if (bytes.size() < 5) {
        fiskalError = "neuplna odpoved stavu tlaciarne!";
        return false;
    }
    unsigned b2 = static_cast<unsigned char>(bytes[2]), b3 = static_cast<unsigned char>(bytes[3]);
    Console::print(std::to_string(b2) + " " + std::to_string(b3));
    Console::print("--------");
    for (unsigned mask : {0x80u, 0x40u, 0x20u, 0x10u, 0x08u}) Console::print(std::to_string(b2 & mask));
    Console::print(status.DataInBufer ? "DATA IN BUFFER" : "BUFER EMPTY");
    fiskalError = status.messages(judged);
    return fiskalError.empty();
}

bool FT4000::checkStatus(const NetBytes& reply) {
    return check(reply, Status::judgedFlags(fiskalCommand), "check status ...");
}

bool FT4000::checkStatusPreRiadok(const NetBytes& reply) {
    return check(reply, Status::judgedFlagsPreRiadok(), "check status pre riadok ...");
}

// --- rows and progress ------------------------------------------------------

namespace {
std::string parameter(const std::map<std::string, std::string>& parameters, const char* key) {
    auto it = parameters.find(key);
    return it == parameters.end() ? std::string() : it->second;
}
}  // namespace

void FT4000::pripravNefiskalnyDoklad() {
    rowsToSend = FT4000Frames::nonFiscalRows(txt, parameter(fiskalCommandParameters, "ODSTRANKOVAT_DOKLAD"));
    currentRowIndex = 0;
}

void FT4000::pripravDoklad() {
    rowsToSend = FT4000Frames::fiscalRows(txt, parameter(fiskalCommandParameters, "ODSTRANKOVAT_DOKLAD"));
    for (const auto& row : rowsToSend) Console::print(row);
    currentRowIndex = 0;
}

void FT4000::progressStep() { reportProgressStep(); }

// --- socket work --------------------------------------------------------------

void FT4000::write(const std::string& bytes, Tag tag) {
    asyncSocket->writeData(NetBytes(bytes.begin(), bytes.end()), writeTimeout, static_cast<std::int64_t>(tag));
}

void FT4000::readStatus(Tag tag) { asyncSocket->readDataToLength(5, readTimeout, static_cast<std::int64_t>(tag)); }

void FT4000::readInfo(Tag tag, double timeout) {
    asyncSocket->readDataToData(NetBytes{0x03}, timeout, static_cast<std::int64_t>(tag));
}

void FT4000::readValues() {
    asyncSocket->readDataToLength(FT4000Frames::valuesReplyLength, readTimeout, static_cast<std::int64_t>(Tag::step5));
}

void FT4000::requestStatus() {
    write(ESCDC1, Tag::status);
    readStatus(Tag::status);
}

void FT4000::socketDidConnectToHost(const std::shared_ptr<NetSocket>& sock, const std::string&, std::uint16_t) {
    Console::print("FT4000 didconnect");
    sock->readDataToLength(greetingLength(), readTimeout, 0);
    requestStatus();
}

void FT4000::socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>&, std::int64_t) {
    Console::print("FT4000 didwrite");
}

void FT4000::socketDidReadData(const std::shared_ptr<NetSocket>& sock, const NetBytes& data, std::int64_t rawTag) {
    using C = Command;
    Console::print("FT4000 didread");
    Console::print("fiskalCommand= " + commandName(fiskalCommand));
    Console::print("tag= " + std::to_string(rawTag));
    Console::print("bytes= " + byteList(data));
    Console::print("str= " + text(data));
    if (rawTag == 0 || isFinished() || sock != asyncSocket) return;
    auto tag = tagFromRaw(rawTag);
    if (!tag) return;

    switch (fiskalCommand) {
        case C::getStatus:
        case C::aktualizujPolohu:
        case C::fixDoklad:
            // The status is the whole answer: judged, and the run ends.
            if (*tag == Tag::status) {
                checkStatus(data);
                disconnect();
            }
            return;
        case C::testWifi:
        case C::nerobNic:
            if (*tag == Tag::status) disconnect();
            return;
        case C::tlacUhraduFaktury:
        case C::nastavPredajcu:
            // Nothing of these can be done on this printer: say so, never "OK".
            if (*tag == Tag::status) {
                fiskalError = "nepodporovaná funkcia!";
                disconnect();
            }
            return;
        case C::tlacDennuUzavierku:
            dennaUzavierka(*tag, text(data));
            return;
        case C::tlacDoklad:
        case C::tlacVklad:
        case C::tlacVyber:
        case C::tlacNefiskalnyDoklad:
            dokladRun(*tag, data);
            return;
        case C::citajInfoSubor:
            if (*tag == Tag::status) {
                if (!checkStatus(data)) return disconnect();
                write(ESCI, Tag::step4);
                readInfo(Tag::step4, readTimeout);
            } else if (*tag == Tag::step4) {
                write(ESC21s, Tag::step5);
                readValues();
            } else if (*tag == Tag::step5) {
                hodnoty = FT4000Frames::valuesText(text(data));
                disconnectAfterReadingAndWriting();
            }
            return;
        case C::citajHodnotyPoslednehoDokladu:
            if (*tag == Tag::status) {
                if (!checkStatus(data)) return disconnect();
                write(ESC21s, Tag::step5);
                readValues();
            } else if (*tag == Tag::step5) {
                hodnoty = FT4000Frames::valuesText(text(data));
                disconnectAfterReadingAndWriting();
            }
            return;
        default:
            if (*tag == Tag::status && FT4000Frames::isSingleFrame(fiskalCommand)) {
                if (!checkStatus(data)) return disconnect();
                singleFrame();
            }
            return;
    }
}

void FT4000::dennaUzavierka(Tag tag, const std::string& reply) {
    if (tag == Tag::status) {
        if (!checkStatus(NetBytes(reply.begin(), reply.end()))) return disconnect();
        write(ESCI, Tag::step2);
        readInfo(Tag::step2, readTimeout);
    } else if (tag == Tag::step2) {
        pocetDokladov = FT4000Frames::infoText(reply);
        write(ESCd, Tag::step3);
        // The frames keep their distance on timers. The info reply after the
        // closing has the same bound as every other read, counted from here:
        // a printer that answers nothing never holds the print screen longer.
        later(serialDelay(), [this] {
            write(ESCI, Tag::step4);
            later(serialDelay(), [this] { readInfo(Tag::step4, readTimeout); });
        });
    } else if (tag == Tag::step4) {
        info = FT4000Frames::infoText(reply);
        later(serialDelay(), [this] {
            write(ESC21s, Tag::step4);
            readValues();
        });
    } else if (tag == Tag::step5) {
        hodnoty = FT4000Frames::valuesText(reply);
        disconnectAfterReadingAndWriting();
    }
}

void FT4000::dokladRun(Tag tag, const NetBytes& data) {
    const bool fiscal = fiskalCommand != Command::tlacNefiskalnyDoklad;
    if (tag == Tag::status) {
        if (!checkStatus(data)) return disconnect();
        if (fiscal) pripravDoklad();
        else pripravNefiskalnyDoklad();
        write(ESCI, Tag::step2);
        readInfo(Tag::step2, readTimeout);
    } else if (tag == Tag::step2) {
        pocetDokladov = FT4000Frames::infoText(text(data));
        write(ESCDC1, Tag::step2);
        readStatus(Tag::statusPreRiadok);
    } else if (tag == Tag::statusPreRiadok) {
        if (!checkStatusPreRiadok(data)) {
            // Busy: ask again after a pause, and give up after the bound
            // with what the last check said.
            if (++preRiadokPolls_ >= preRiadokMaxPolls) return disconnect();
            later(preRiadokPollInterval, [this] {
                write(ESCDC1, Tag::statusPreRiadok);
                readStatus(Tag::statusPreRiadok);
            });
            return;
        }
        preRiadokPolls_ = 0;
        if (currentRowIndex < static_cast<std::int64_t>(rowsToSend.size())) {
            const std::string& row = rowsToSend[static_cast<std::size_t>(currentRowIndex)];
            const std::string bytes = FT4000Frames::rowBytes(row);
            if (fiscal) {
                Console::print("requestStr= " + row);
                Console::print("requestData= " + byteList(NetBytes(bytes.begin(), bytes.end())));
            }
            write(bytes, Tag::statusPreRiadok);
            ++currentRowIndex;
            progressStep();
            write(ESCDC1, Tag::statusPreRiadok);
            readStatus(Tag::statusPreRiadok);
        } else {
            write(ESCI, Tag::step4);
            readInfo(Tag::step4, readTimeout);
        }
    } else if (tag == Tag::step4) {
        write(ESC21s, Tag::step5);
        readValues();
    } else if (tag == Tag::step5) {
        hodnoty = FT4000Frames::valuesText(text(data));
        disconnectAfterReadingAndWriting();
    }
}

void FT4000::singleFrame() {
    if (fiskalCommand == Command::nastavDatumACas)
        Console::print(parameter(fiskalCommandParameters, "DATUM_A_CAS"));
    auto frame = FT4000Frames::singleFrame(fiskalCommand, fiskalCommandParameters);
    if (!frame.error.empty()) {
        // A frame without the values it needs is not sent.
        fiskalError = frame.error;
        disconnect();
        return;
    }
    Console::print(byteList(NetBytes(frame.bytes.begin(), frame.bytes.end())));
    write(frame.bytes, Tag::finish);
    disconnectAfterReadingAndWriting();
}
