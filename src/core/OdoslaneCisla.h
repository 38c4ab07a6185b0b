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
// the office. Blanks and line ends around the number (as a person or another
// tool may leave them) are read past. A record that cannot be read is never
// taken for a lower number: its bytes are kept aside under a name of their
// own, and no number leaves until the record is readable again, since the
// highest number that left is then unknown.
class OdoslaneCisla {
public:
    // The record's file name in the Documents folder.
    static const std::string fileName;
    // The beginning of the name of a record kept aside because it could not
    // be read ("posledna_uzavierka.poskodeny-N.txt").
    static const std::string poskodenyPrefix;
    // The largest number a document can carry: every reader of a document
    // number (this record, the names of the closings' exports) takes up to
    // 18 digits.
    static constexpr long long najvacsie = 999'999'999'999'999'999LL;

    // `dbPath`: the database whose numbers leave, from which a record that
    // cannot be read is written anew (zaznamenaj); "" for none.
    explicit OdoslaneCisla(std::string documentsDirectory, std::string dbPath = {});

    // The highest number recorded: 0 without a record, none when the record
    // cannot be read (its reason in `reason`, with the name it is kept aside
    // under).
    std::optional<long long> posledne(std::string* reason = nullptr) const;

    // Raises the record to `cislo` (a lower number leaves it as it is), on
    // the disk before it answers; the reason when it cannot. A number above
    // `najvacsie` is refused. So is the number when the record cannot be
    // read, once: a record holding no number (its bytes kept aside) is
    // written anew with the highest number that can still be known to have
    // left, the highest of the database's numbering (which every start and
    // restore raised above the record while it could be read) and of a
    // number left in its bytes, and the refusal says so; the next call goes
    // on from it. Without the database, or when that cannot be read, the
    // record stays as it is and every number is refused.
    std::optional<std::string> zaznamenaj(long long cislo) const;
    // The same for a document number as its text; a text that is no
    // document number is refused with its reason.
    std::optional<std::string> zaznamenaj(const std::string& cdok) const;

    // Makes the database at `dbPath` number its next documents above the
    // record: raises the document sequence (of table vety) where it lies
    // below. The reason when it cannot (the record or the database cannot
    // be read or written). A record holding no number is written anew from
    // the database given at construction, as zaznamenaj does, and refused
    // once.
    std::optional<std::string> pokracujNad(const std::string& dbPath) const;

    // A document number as a number: up to 18 digits; none for anything else.
    static std::optional<long long> cislo(const std::string& text);
    // Why a document written with the number `cdok` must not stay: its
    // number is no document number (above `najvacsie`). None for a document
    // number and for no number at all.
    static std::optional<std::string> chybaCisla(const std::string& cdok);

private:
    // `damaged`: the bytes of a record read whole that holds no number.
    std::optional<long long> citaj(std::string* reason, std::string* damaged = nullptr) const;
    std::string odloz(const std::string& bytes) const;

    // A record holding no number written anew as above: what the refusal
    // says, or none when it cannot be.
    std::optional<std::string> zapisZnova(const std::string& bytes, long long cislo) const;

    std::string documents_;
    std::string path_;
    std::string dbPath_;
};
