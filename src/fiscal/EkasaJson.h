#pragma once

#include <optional>
#include <string>

// The request bodies of the fiscal service. The service reads them as JSON;
// their layout (a blank on each side of a key's colon, no blank after a
// member's comma) is kept as the service has always received it, and every
// text placed in them is escaped by the JSON library.
class EkasaJson {
public:
    // The receipt printer of the installation: {"socket" : "tcp://ADDRESS:9100",...}.
    static std::string printer(const std::string& lanAddress);

    // A text as a JSON string, quotes included (invalid UTF-8 replaced).
    static std::string quoted(const std::string& text);

    // Print data for the receipt printer ("/print").
    static std::string printData(const std::string& text, const std::string& lanAddress);
    // The service's last document ("/document/get"); ends with one blank.
    static std::string lastDocument(const std::string& lanAddress);
    // A document by its sequence number, month and year ("/document/get"); ends with one blank.
    static std::string documentBySequenceId(const std::string& sequenceId, const std::string& month,
                                            const std::string& year, const std::string& lanAddress);
    // Another location of the vehicle ("/location/update").
    static std::string otherLocation(const std::string& text, const std::string& lanAddress);
    // Repair of the last document ("/document/update").
    static std::string fixDocument();

    // A document text handed over with its quotes written as "&quot;".
    static std::string unquote(const std::string& text);
    // The receipt as the service takes it: quotes restored and a trailing
    // comma before the closing bracket of a list or object dropped (the
    // report writes one behind every item). No other comma is touched.
    static std::string receiptBody(const std::string& text);

    // The fiscal receipt reference cut into its fields: four digits of the
    // year, two of the month and the service's sequence number (five digits
    // or more). Absent for a reference that is too short or not all digits.
    struct Pardok {
        std::string year;
        std::string month;
        std::string sequenceId;
    };
    static std::optional<Pardok> cutPardok(const std::string& pardok);
};
