#pragma once

#include <optional>
#include <string>
#include <vector>

// The record of the fiscal registrations this device made: for each one the
// document number and the identifiers the fiscal service gave it. The
// identifiers live in the document's header (`vety`) too, but the database
// may go (a restore, a lost database, a data update) while the service keeps
// the registration; the record keeps them until a backup holding them has
// reached the office. A document this record holds is never sent to the
// service again, and a database that holds such a document without
// identifiers is given them back.
//
// The record is a file of its own beside the database in the Documents
// folder: a restore, which replaces the database, leaves it, and it is never
// sent. It is written whole by the durable write. A record that cannot be
// read whole is never taken for an empty one: its bytes are kept aside under
// a name of their own, and the entries that could be read stay.
class ZaevidovaneDoklady {
public:
    struct Registracia {
        std::string cdok;  // the document number the service knows it by
        std::string uid, okp, pardok;
        std::string datumVytvor, datumVystav, datumEvid;
        // The same registration: the same uid and receipt reference, as the
        // write-back by number tells it.
        bool rovnaka(const Registracia& other) const { return uid == other.uid && pardok == other.pardok; }
        // Whether it carries any identifier at all.
        bool maUdaje() const { return !uid.empty() || !okp.empty() || !pardok.empty(); }
    };

    // The record's file name in the Documents folder, and the beginning of
    // the name a damaged record is kept aside under.
    static const std::string fileName;
    static const std::string poskodenyPrefix;

    explicit ZaevidovaneDoklady(const std::string& documentsDirectory);

    // The registrations recorded, oldest first. When the record was damaged,
    // `hlasenie` says where its bytes were kept. None when it cannot be read
    // at all (the reason in `hlasenie`).
    std::optional<std::vector<Registracia>> zoznam(std::string* hlasenie = nullptr) const;
    // Records a registration, on the disk before it answers; the reason when
    // it cannot. A number recorded with other identifiers keeps them: nothing
    // is written and `ina` (when given) takes the recorded registration.
    std::optional<std::string> zapis(const Registracia& registracia, Registracia* ina = nullptr) const;
    // Takes away the entries that equal one of `dorucene` in number and
    // identifiers (a backup holding them has reached the office).
    std::optional<std::string> odober(const std::vector<Registracia>& dorucene) const;
    // Gives the database at `dbPath` back the identifiers of the record
    // (`vrat`).
    std::optional<std::string> vratDo(const std::string& dbPath, std::vector<std::string>* ine = nullptr) const;

    // The registration of number `cdok` among `zoznam`.
    static std::optional<Registracia> najdi(const std::vector<Registracia>& zoznam, const std::string& cdok);
    // The registrations among `zoznam` that the database at `dbPath` holds:
    // a document of that number with those identifiers. The reason when it
    // cannot be read.
    static std::optional<std::string> drzane(const std::string& dbPath, const std::vector<Registracia>& zoznam,
                                             std::vector<Registracia>* drzane);
    // Every registration the documents of the database at `dbPath` hold.
    static std::optional<std::string> vDatabaze(const std::string& dbPath, std::vector<Registracia>* zoznam);
    // In one transaction: a document of the database at `dbPath` whose
    // number `zoznam` holds and that has no identifiers takes them, and the
    // database numbers its next documents above every number of `zoznam`. A
    // document of such a number holding other identifiers keeps them, and
    // its number goes into `ine`. The reason when the database cannot be
    // read or written (then nothing is written).
    static std::optional<std::string> vrat(const std::string& dbPath, const std::vector<Registracia>& zoznam,
                                           std::vector<std::string>* ine = nullptr);

private:
    std::string path_;
};
