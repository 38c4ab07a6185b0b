#pragma once

#include "fiscal/Fiskal.h"

#include <string>
#include <vector>

// The 13 state flags that the FT4000 printer reports in bytes 2 and 3 of its
// 5-byte status reply, and the judgement of a reply: which flags stop a
// command, and which stop the next row of a document.
struct FT4000Status {
    bool OpenDocument = false;
    bool DuRequired = false;
    bool DuWasAlreadyMade = false;
    bool PrinterBusy = false;
    bool DisplayBusy = false;
    bool KeyPressRequired = false;
    bool ServisRequired = false;
    bool FullMemory = false;
    bool MemoryDisconnected = false;
    bool DisplayDisconnected = false;
    bool PrinterDisconnected = false;
    bool WorkInProgress = false;
    bool DataInBufer = false;

    // The flags of a status reply. A reply shorter than 5 bytes is read as
    // far as it goes (missing bytes count as zero); callers refuse it first.
    static FT4000Status decode(const std::string& reply);

    // Flag numbers 1 to 13 in declaration order.
    bool flag(int number) const;
    // The printer's message of a flag; "" for ServisRequired, which is never judged.
    static const char* message(int number);

    // The flags that stop `command`, and those that stop the next row.
    static const std::vector<int>& judgedFlags(Fiskal::Command command);
    static const std::vector<int>& judgedFlagsPreRiadok();

    // The messages of the judged flags that are set, in flag order, joined
    // with " + "; "" when nothing stops.
    std::string messages(const std::vector<int>& judged) const;

    bool operator==(const FT4000Status&) const = default;
};
