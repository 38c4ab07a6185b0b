#pragma once

#include <string>
#include <vector>

// The documents whose registration with the fiscal service ended without an
// answer (the request went out, no reply came back): the service may hold
// them or not. Such a document is not sent again until the service shows
// what became of it. The list is kept in a file of its own beside the
// database, so that it outlives a restart and never travels with the
// database to the office.
class EkasaNeiste {
public:
    struct Zaznam {
        std::string cdok;     // the document number the service knows it by
        std::string id;       // its header row
        double od = 0;        // when it was left without answer, seconds since 1970
        std::string predtym;  // the service's last document before it (EkasaNeiste::podpis)
    };

    // The file in the Documents folder.
    static std::string path();
    static std::vector<Zaznam> zoznam();
    // Adds a document (replacing an earlier entry of it); false when the
    // list could not be written.
    static bool pridaj(const Zaznam& zaznam);
    static bool odober(const Zaznam& zaznam);
    // Whether an entry names the document of this number (or, without a
    // number, of this row).
    static bool jeTo(const Zaznam& zaznam, const std::string& cdok, const std::string& id);
};
