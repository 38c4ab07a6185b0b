// The order exchange runs of the connection screen. Until the exchange with
// the office is in place they answer that it is not available.

#include "sync/Spojenie.h"

void Spojenie::exportObjednavok() {
    zobrazKoniec("chyba!", "výmena objednávok nie je dostupná", true);
}

void Spojenie::importObjednavok() {
    zobrazKoniec("chyba!", "výmena objednávok nie je dostupná", true);
}
