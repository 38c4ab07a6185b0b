#include "fiscal/FT4000Status.h"

namespace {

struct FlagBit {
    bool FT4000Status::*member;
    int byte;
    unsigned char mask;
    const char* message;
};

const FlagBit kFlags[13] = {
    {&FT4000Status::OpenDocument, 2, 0x80, "existuje rozpracovany doklad!"},
    {&FT4000Status::DuRequired, 2, 0x40, "vykonajte du!"},
    {&FT4000Status::DuWasAlreadyMade, 2, 0x20, "uz bola vykonana du!"},
    {&FT4000Status::PrinterBusy, 2, 0x10, "tlaciaren je v stave BUSY!"},
    {&FT4000Status::DisplayBusy, 2, 0x08, "display je v stave BUSY!"},
    {&FT4000Status::KeyPressRequired, 2, 0x04, "caka sa na stlacenie klavesy!"},
    {&FT4000Status::ServisRequired, 2, 0x02, ""},
    {&FT4000Status::FullMemory, 2, 0x01, "zaplnena pamat!"},
    {&FT4000Status::MemoryDisconnected, 3, 0x80, "odpojena fisklana pamat!"},
    {&FT4000Status::DisplayDisconnected, 3, 0x40, "odpojeny display!"},
    {&FT4000Status::PrinterDisconnected, 3, 0x20, "odpojena tlaciaren"},
    {&FT4000Status::WorkInProgress, 3, 0x10, "vykonava sa dlhsie trvajuci prikaz!"},
    {&FT4000Status::DataInBufer, 3, 0x08, "buffer obsahuje nespracovane data!"},
};

}  // namespace

FT4000Status FT4000Status::decode(const std::string& reply) {
    unsigned char bytes[5] = {0, 0, 0, 0, 0};
    for (size_t i = 0; i < 5 && i < reply.size(); ++i) bytes[i] = static_cast<unsigned char>(reply[i]);
    FT4000Status status;
    for (const auto& f : kFlags) status.*f.member = (bytes[f.byte] & f.mask) != 0;
    return status;
}

bool FT4000Status::flag(int number) const {
    return number >= 1 && number <= 13 && this->*kFlags[number - 1].member;
}

const char* FT4000Status::message(int number) {
    return number >= 1 && number <= 13 ? kFlags[number - 1].message : "";
}

const std::vector<int>& FT4000Status::judgedFlags(Fiskal::Command command) {
    using C = Fiskal::Command;
    static const std::vector<int> closing = {1, 3, 4, 5, 6, 8, 9, 10, 11};
    static const std::vector<int> document = {1, 2, 4, 5, 6, 8, 9, 10, 11};
    static const std::vector<int> copies = {1, 4, 5, 6, 8, 9, 10, 11};
    static const std::vector<int> dateTime = {1, 5, 6, 8, 9, 10, 11};
    static const std::vector<int> none;
    switch (command) {
        case C::tlacDennuUzavierku:
            return closing;
        case C::tlacDoklad:
        case C::tlacVklad:
        case C::tlacVyber:
        case C::tlacUhraduFaktury:
        case C::tlacNefiskalnyDoklad:
            return document;
        case C::tlacPrehladovuUzavierku:
        case C::tlacKopiuPoslednehoDokladu:
        case C::tlacKopiuPoslednejUzavierky:
        case C::tlacKopiuUzavierkyPodlaCisla:
        case C::tlacKopieDokladovZaUzavierku:
        case C::tlacSumarObratov:
        case C::tlacIntervalovuSuhrnnuUzavierkuOdDatumuDoDatumu:
        case C::tlacIntervalovuPodrobnuUzavierkuOdDatumuDoDatumu:
        case C::tlacKopiuDokladu:
            return copies;
        case C::nastavDatumACas:
            return dateTime;
        default:
            return none;
    }
}

const std::vector<int>& FT4000Status::judgedFlagsPreRiadok() {
    static const std::vector<int> flags = {4, 5, 6, 8, 9, 10, 11, 12, 13};
    return flags;
}

std::string FT4000Status::messages(const std::vector<int>& judged) const {
    std::string joined;
    for (int number = 1; number <= 13; ++number) {
        bool isJudged = false;
        for (int j : judged) isJudged = isJudged || j == number;
        if (!isJudged || !flag(number) || *message(number) == '\0') continue;
        if (!joined.empty()) joined += " + ";
        joined += message(number);
    }
    return joined;
}
