#pragma once

#include <optional>
#include <string>

// The record of the highest document number that has left the device:
// registered with the fiscal service, exported as an order for delivery or
// as a daily closing. Such a number is known outside (the service holds its
// registration, the office its order or closing), so it is never given to
// another document: the record is raised on the disk before the number
// leaves, and a database whose numbering lies below it (a restored copy, the
// shipped database after the working one was lost) continues above it.
//
// The record is one line beside the database in the Documents folder: a
// restore, which replaces the database, leaves it, and it is never sent to
// the office.
class OdoslaneCisla {
public:
    // The record's file name in the Documents folder.
    static const std::string fileName;

    explicit OdoslaneCisla(std::string documentsDirectory);

    // The highest number recorded: 0 without a record, none when the record
    // cannot be read (its reason in `reason`).
    std::optional<long long> posledne(std::string* reason = nullptr) const;

    // Raises the record to `cislo` (a lower number leaves it as it is), on
    // the disk before it answers; the reason when it cannot. A record that
    // cannot be read is written anew.
    std::optional<std::string> zaznamenaj(long long cislo) const;
    // The same for a document number as its text; a text that is no
    // document number is refused with its reason.
    std::optional<std::string> zaznamenaj(const std::string& cdok) const;

    // Makes the database at `dbPath` number its next documents above the
    // record: raises the document sequence (of table vety) where it lies
    // below. The reason when it cannot (the record or the database cannot
    // be read or written).
    std::optional<std::string> pokracujNad(const std::string& dbPath) const;

    // A document number as a number: up to 18 digits; none for anything else.
    static std::optional<long long> cislo(const std::string& text);

private:
    std::string path_;
};
