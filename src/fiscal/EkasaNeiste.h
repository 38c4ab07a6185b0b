#pragma once

#include <string>
#include <vector>

// The documents whose registration with the fiscal service has no definite
// outcome: the request is on its way, or it went out and no definite answer
// came back (a time-out, a lost connection, a redirect, a gateway's error,
// the program killed while it waited). The service may hold them or not. A
// document is put here, on the disk, before its registration leaves, and
// only a definite answer takes it away; until then it is not sent again
// before the service shows what became of it. The list is kept in a file of
// its own beside the database, so that it outlives a restart and never
// travels with the database to the office.
//
// A list that cannot be read is never taken for an empty one: its bytes are
// kept aside under a name of their own, and an entry for an unknown document
// takes their place, which holds every registration back for the time a
// registration may still land (as after a time-out).
class EkasaNeiste {
public:
    struct Zaznam {
        std::string cdok;     // the document number the service knows it by
        std::string id;       // its header row
        double od = 0;        // when it went out or was left without answer, seconds since 1970
        std::string predtym;  // the service's last document before it (EkasaDoklad::podpis)
        // That document's receipt reference (year, month, sequence number;
        // "" when the service held none): where the service's documents
        // after it are looked up.
        std::string predtymPardok;
        // Not one document: the list was damaged and kept aside in `odlozeny`
        // (the file's name in the Documents folder).
        bool neznamy = false;
        std::string odlozeny;
    };

    // The file in the Documents folder.
    static std::string path();
    static std::vector<Zaznam> zoznam();
    // Adds a document (replacing an earlier entry of it); false when the
    // list could not be written. Once it answers true the entry is on the
    // disk.
    static bool pridaj(const Zaznam& zaznam);
    static bool odober(const Zaznam& zaznam);
    // Whether an entry marks the document of this number (or, without a
    // number, of this row). The entry of an unknown document marks none.
    static bool oznacuje(const Zaznam& zaznam, const std::string& cdok, const std::string& id);
};
