#pragma once

// Base of the fiscal and printer drivers. Only the command model lives here
// for now; the drivers build on it.
class Fiskal {
public:
    // The commands a print job can carry, numbered 0 to 23 in this order.
    enum class Command : int {
        getStatus = 0,
        tlacDennuUzavierku,
        tlacPrehladovuUzavierku,
        tlacDoklad,
        tlacVklad,
        tlacVyber,
        tlacKopiuPoslednehoDokladu,
        tlacKopiuPoslednejUzavierky,
        tlacKopiuUzavierkyPodlaCisla,
        tlacKopieDokladovZaUzavierku,
        tlacSumarObratov,
        tlacIntervalovuSuhrnnuUzavierkuOdDatumuDoDatumu,
        tlacIntervalovuPodrobnuUzavierkuOdDatumuDoDatumu,
        tlacNefiskalnyDoklad,
        testWifi,
        tlacKopiuDokladu,
        nastavDatumACas,
        citajInfoSubor,
        citajHodnotyPoslednehoDokladu,
        aktualizujPolohu,
        fixDoklad,
        tlacUhraduFaktury,
        nerobNic,
        nastavPredajcu,
    };
};
