#include "fiscal/EspDocument.h"

#include "fiscal/FT4000Frames.h"
#include "fiscal/Fiskal.h"
#include "platform/TextEncoding.h"

const std::string& EspDocument::startSequence = FT4000Frames::initSequence;
const std::string EspDocument::closing = "\x1b\x21\x01\r\x0c";

std::string EspDocument::printText(const std::string& txt, long long pageHeight) {
    std::string body;
    long long counter = 1;
    for (const auto& line : Fiskal::splitLines(txt)) {
        body += line;
        body += '\n';
        ++counter;
        if (counter == pageHeight) {
            body += "\r\x0c";
            counter = 1;
        }
    }
    return startSequence + body + closing;
}

std::string EspDocument::bytes(const std::string& printText) {
    return FT4000Frames::rowBytes(printText);
}
