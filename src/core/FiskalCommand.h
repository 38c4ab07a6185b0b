#pragma once

// The commands a print job can carry, numbered 0 to 23 in this order. The
// shared object holds the command of the pending job; the drivers know it as
// Fiskal::Command.
enum class FiskalCommand : int {
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
