#pragma once

#include <string>
#include <vector>

// The documents whose registration with the fiscal service has no definite
// outcome: the request is on its way, or it went out and no answer came back
// (a time-out, a lost connection, the program killed while it waited). The
// service may hold them or not. A document is put here, on the disk, before
// its registration leaves, and only a definite answer takes it away; until
// then it is not sent again before the service shows what became of it. The
// list is kept in a file of its own beside the database, so that it outlives
// a restart and never travels with the database to the office.
class EkasaNeiste {
public:
    struct Zaznam {
        std::string cdok;     // the document number the service knows it by
        std::string id;       // its header row
        double od = 0;        // when it went out or was left without answer, seconds since 1970
        std::string predtym;  // the service's last document before it (EkasaNeiste::podpis)
    };

    // The file in the Documents folder.
    static std::string path();
    static std::vector<Zaznam> zoznam();
    // Adds a document (replacing an earlier entry of it); false when the
    // list could not be written. Once it answers true the entry is on the
    // disk.
    static bool pridaj(const Zaznam& zaznam);
    static bool odober(const Zaznam& zaznam);
    // Whether an entry names the document of this number (or, without a
    // number, of this row).
    static bool jeTo(const Zaznam& zaznam, const std::string& cdok, const std::string& id);
};
