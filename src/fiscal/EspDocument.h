#pragma once

#include <string>

// The document that the HTTP print adapter prints: the printer's start
// sequence, the lines with a page end after every pageHeight - 1 of them,
// and the closing, as code page 852 bytes.
class EspDocument {
public:
    // The printer's own initialisation sequence (FT4000Frames::initSequence).
    static const std::string& startSequence;
    static const std::string closing;        // 1B 21 01 0D 0C

    // The print text (UTF-8) of a document text whose lines end with line feeds.
    static std::string printText(const std::string& txt, long long pageHeight);
    // Its bytes in code page 852; characters the code page lacks become "?".
    static std::string bytes(const std::string& printText);
};
