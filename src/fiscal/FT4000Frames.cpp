#include "fiscal/FT4000Frames.h"

#include "fiscal/PrinterText.h"
#include "platform/Numbers.h"
#include "platform/TextEncoding.h"

namespace {

const std::string ESCx = "\x1b\x78";
const std::string ESCc = "\x1b\x63";
const std::string ESCz = "\x1b\x7a";
const std::string ESCCD = "\x1b\x43\x44";
const std::string ESCCb = "\x1b\x43\x62";
const std::string ESCXD = "\x1b\x58\x44";
const std::string ESCXd = "\x1b\x58\x64";
const std::string CR = "\r";
const std::string CRLF = "\r\n";

const std::string* lookup(const std::map<std::string, std::string>& parameters, const std::string& key) {
    auto it = parameters.find(key);
    return it == parameters.end() ? nullptr : &it->second;
}

}  // namespace

const std::string FT4000Frames::initSequence =
    std::string("\x1b\x46\x1b\x21\x01\x1b\x50\x1b\x78\x30\x0f\x1b\x74\x12\x03", 15);
const std::string FT4000Frames::pageBreak = "\x1b\x46\x0c\x03";

std::vector<std::string> FT4000Frames::nonFiscalRows(const std::string& txt, const std::string& odstrankovat) {
    std::vector<std::string> rows;
    for (const auto& piece : Fiskal::splitLines(initSequence + "\x1b\x6e" + txt)) rows.push_back(piece + CRLF);
    rows.push_back("\x0c");
    if (odstrankovat == "A") rows.push_back(pageBreak);
    return rows;
}

std::vector<std::string> FT4000Frames::fiscalRows(const std::string& txt, const std::string& odstrankovat) {
    std::string text = PrinterText::withEscapes(txt);
    std::vector<std::string> rows;
    for (const auto& piece : Fiskal::splitLines(text)) rows.push_back(piece + CRLF);
    if (odstrankovat == "A") rows.push_back(pageBreak);
    return rows;
}

std::string FT4000Frames::rowBytes(const std::string& row) {
    if (platform::TextEncoding::isAscii(row)) return row;
    std::string valid;
    // Bytes that are no UTF-8 at all are replaced one by one as well.
    for (std::size_t i = 0; i < row.size();) {
        std::size_t n = 1;
        unsigned char c = static_cast<unsigned char>(row[i]);
        if (c >= 0xC0) n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        std::string one = row.substr(i, n);
        valid += platform::TextEncoding::isValidUtf8(one) ? one : "?";
        i += platform::TextEncoding::isValidUtf8(one) ? n : 1;
    }
    return platform::TextEncoding::toCp852Lossy(valid);
}

bool FT4000Frames::isSingleFrame(Fiskal::Command command) {
    using C = Fiskal::Command;
    switch (command) {
        case C::tlacPrehladovuUzavierku:
        case C::tlacKopiuPoslednehoDokladu:
        case C::tlacKopiuPoslednejUzavierky:
        case C::tlacKopiuUzavierkyPodlaCisla:
        case C::tlacKopieDokladovZaUzavierku:
        case C::tlacSumarObratov:
        case C::tlacIntervalovuSuhrnnuUzavierkuOdDatumuDoDatumu:
        case C::tlacIntervalovuPodrobnuUzavierkuOdDatumuDoDatumu:
        case C::tlacKopiuDokladu:
        case C::nastavDatumACas:
            return true;
        default:
            return false;
    }
}

FT4000Frames::Frame FT4000Frames::singleFrame(Fiskal::Command command,
                                              const std::map<std::string, std::string>& parameters) {
    using C = Fiskal::Command;
    Frame frame;
    // A value that the frame needs: present and plain ASCII, else the reason.
    auto need = [&](const std::string& key) -> std::string {
        const std::string* value = lookup(parameters, key);
        if (!frame.error.empty()) return "";
        if (!value || value->empty()) {
            frame.error = "chyba parameter " + key + "!";
            return "";
        }
        if (!platform::TextEncoding::isAscii(*value)) {
            frame.error = "parameter " + key + " obsahuje nepovolene znaky!";
            return "";
        }
        return *value;
    };
    auto is = [&](const std::string& key, const char* expected) {
        const std::string* value = lookup(parameters, key);
        return value && *value == expected;
    };
    switch (command) {
        case C::tlacPrehladovuUzavierku:
            frame.bytes = ESCx;
            break;
        case C::tlacKopiuPoslednehoDokladu:
            frame.bytes = ESCc;
            break;
        case C::tlacKopiuPoslednejUzavierky:
            frame.bytes = ESCCD;
            break;
        case C::tlacKopiuUzavierkyPodlaCisla:
            frame.bytes = ESCCD + "00000000" + need("CISLO") + CR;
            break;
        case C::tlacKopieDokladovZaUzavierku:
            frame.bytes = ESCCb + need("CISLO") + CR + "9999" + CR;
            break;
        case C::tlacSumarObratov: {
            std::string od = need("DATUM_OD");
            frame.bytes = ESCz + od + need("DATUM_DO") + CR;
            break;
        }
        case C::tlacIntervalovuSuhrnnuUzavierkuOdDatumuDoDatumu:
        case C::tlacIntervalovuPodrobnuUzavierkuOdDatumuDoDatumu: {
            std::string od = need("DATUM_OD");
            std::string doDatumu = need("DATUM_DO");
            frame.bytes = (command == C::tlacIntervalovuSuhrnnuUzavierkuOdDatumuDoDatumu ? ESCXD : ESCXd) + od +
                          CR + doDatumu + CR;
            break;
        }
        case C::tlacKopiuDokladu: {
            std::string uzavierka = need("CISLO_UZAVIERKY");
            std::string doklad = need("CISLO_DOKLADU");
            frame.bytes = (is("TYP_DOKLADU", "H") ? initSequence : std::string()) + ESCCb + uzavierka + CR + doklad +
                          CR + (is("ODSTRANKOVAT_DOKLAD", "A") ? pageBreak : std::string());
            break;
        }
        case C::nastavDatumACas: {
            std::string value = need("DATUM_A_CAS");
            bool digits = value.size() == 12;
            for (char c : value) digits = digits && c >= '0' && c <= '9';
            if (frame.error.empty() && !digits)
                frame.error = "DATUM_A_CAS musi mat 12 cislic: '" + value + "'!";
            if (!frame.error.empty()) break;
            auto d = [&](int k) { return value[static_cast<std::size_t>(k)] - '0'; };
            frame.bytes = "\x1b" + platform::format("t111116%i7%i8%i9%i:%i;%i4%i5%i2%i3%i", d(7), d(6), d(5), d(4),
                                                    d(3), d(2), d(9), d(8), d(11), d(10)) +
                          CR;
            break;
        }
        default:
            frame.error = "nepodporovaná funkcia!";
    }
    if (!frame.error.empty()) frame.bytes.clear();
    return frame;
}

std::string FT4000Frames::infoText(const std::string& reply) {
    return platform::TextEncoding::isAscii(reply) ? reply : "0";
}

std::string FT4000Frames::valuesText(const std::string& reply) {
    if (reply.size() < 3) return "";
    std::string text = reply.substr(2, std::min<std::size_t>(reply.size(), 455) - 2);
    return platform::TextEncoding::isAscii(text) ? text : "";
}

std::size_t FT4000Frames::lineCount(const std::string& txt) {
    std::size_t n = 1;
    for (char c : txt) n += c == '\n';
    return n;
}
