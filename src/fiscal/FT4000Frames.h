#pragma once

#include "fiscal/Fiskal.h"

#include <map>
#include <string>
#include <vector>

// The byte vocabulary of the FT4000 printer and the parts of a run that do
// not depend on the connection: the rows of a document, the single-frame
// commands, and the texts read back from the info and values replies.
class FT4000Frames {
public:
    // Leads a non-fiscal document and the copy of a receipt of type "H".
    static const std::string initSequence;  // 1B 46 1B 21 01 1B 50 1B 78 30 0F 1B 74 12 03
    static const std::string pageBreak;     // 1B 46 0C 03
    static constexpr std::size_t valuesReplyLength = 457;

    // Rows of a non-fiscal document: the initialisation sequence and ESC n
    // lead the first row; every line ends with CR LF; then a form feed row
    // and, when `odstrankovat` is exactly "A", the page break.
    static std::vector<std::string> nonFiscalRows(const std::string& txt, const std::string& odstrankovat);
    // Rows of a fiscal document: the markers ESCb, ESCk, ESCe, ESCv, ESCV and
    // ESC become their bytes; every line ends with CR LF; the page break
    // follows when `odstrankovat` is exactly "A".
    static std::vector<std::string> fiscalRows(const std::string& txt, const std::string& odstrankovat);

    // The bytes that go out for a row: code page 852, a character the code
    // page lacks becoming "?", so that no row is ever left out.
    static std::string rowBytes(const std::string& row);

    // The frame of a single-frame command. A parameter that is missing, not
    // plain ASCII, or (for the date and time) not exactly twelve digits
    // gives no frame and the reason in `error`.
    struct Frame {
        std::string bytes;
        std::string error;
    };
    static bool isSingleFrame(Fiskal::Command command);
    static Frame singleFrame(Fiskal::Command command, const std::map<std::string, std::string>& parameters);

    // Text of an info reply (ends with ETX), "0" when it is not ASCII.
    static std::string infoText(const std::string& reply);
    // Text of the values reply: bytes 2 to 454 as ASCII, "" when they are not.
    static std::string valuesText(const std::string& reply);
    // Number of text pieces of a document split at every line feed.
    static std::size_t lineCount(const std::string& txt);
};
