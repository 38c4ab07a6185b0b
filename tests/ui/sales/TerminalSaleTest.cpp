// The real program in the terminal: one cash sale from the login to
// "zobraziť doklad?", then the database it left.

#include <gtest/gtest.h>

#include <string>

#include "support/TerminalRun.h"

namespace {

TEST(TerminalSale, CashSaleFromLoginToTheDocumentQuestion) {
    TerminalRun terminal("sale");
    ASSERT_EQ(terminal.run("f1=1234\nprihlásiť\n3\nsc2\n/kvet\n1\nf1=184400\nok\náno\n1\n"
                             "add\n1\n1\nf1=2\nok\nf1=2,5\nok\nb\n"
                             "dod. zľava\nf1=5\nok\nhotovo\nzapísať\nq\n"),
              0)
        << terminal.errors();
    const std::string output = terminal.output();

    std::size_t at = 0;
    for (const char* step : {"== menu ==", "== odberatelia: 21 / 21 ==", "== odberatelia: 1 / 21 ==",
                             "+-- kilometre", "+-- náhradník?", "== predaj ==", "== hotovosť: 0 / 0 ==",
                             "== tovar: 12 / 12 ==", "== dátum spotreby ==", "+-- zadajte množstvo",
                             "+-- zadajte zľavu", "== hotovosť: 1 / 1 ==", "zz:  2.50",
                             "+-- zadajte dodatočnú zľavu", "dz:  5.00", "zapísať doklad?", "[zapísať]",
                             "+-- zobraziť doklad?"}) {
        const auto found = output.find(step, at);
        ASSERT_NE(found, std::string::npos) << "'" << step << "' not drawn after position " << at << "\n"
                                            << output.substr(at, 3000);
        at = found;
    }

    // The operations' trace goes to standard error, never through the screens.
    EXPECT_EQ(output.find("start prepocitajDoklad(items:)"), std::string::npos);
    EXPECT_NE(terminal.errors().find("start prepocitajDoklad(items:)"), std::string::npos);

    const std::string id = "(select max(id) from vety)";
    EXPECT_NE(output.find("| cdok=" + terminal.scalar("select cdok from vety where id = " + id)), std::string::npos);
    EXPECT_EQ(terminal.scalar("select pohyb || ' ' || idosc || ' ' || km from vety where id = " + id),
              "10 10103-01 184400");
    EXPECT_EQ(terminal.scalar("select idtov || ' ' || mnoz || ' ' || zlava1 || ' ' || zlavac || ' ' || datumspotreby "
                              "from polo where vety_id = " + id),
              "T001 2.0 2.5 5.0 2027-05-31");
    EXPECT_EQ(terminal.scalar("select printf('%.2f', sumdokz) from vety where id = " + id), "30.64");
    EXPECT_EQ(terminal.scalar("select hodnota from km"), "184400");
}

// Slips of a new user: letters in the digits scope of the search, and "q"
// with a document being written; the loyalty crown on the way.
TEST(TerminalSale, SlipsAreToldAndAnUnwrittenDocumentIsNotQuitUnasked) {
    TerminalRun terminal("slips");
    ASSERT_EQ(terminal.run("f1=1234\nprihlásiť\n3\n/kvet\nsc2\n/kvet\n1\nok\náno\n1\n"
                           "add\n1\n1\nf1=2\nok\nok\nb\nq\nq\n"),
              0)
        << terminal.errors();
    const std::string output = terminal.output();
    std::size_t at = 0;
    for (const char* step : {"> /kvet\n! \"kvet\" not searched: scope \"čísla\" takes digits only; sc2 for \"text\"\n",
                             "== odberatelia: 1 / 21 ==", "  1. ZA03 Kaviareň Kvet", "     ♛\n",
                             "== hotovosť: 1 / 1 ==",
                             "> q\na document is being written and not stored: q again quits without it\n", "> q\n"}) {
        const auto found = output.find(step, at);
        EXPECT_NE(found, std::string::npos) << "'" << step << "' not drawn after position " << at << "\n"
                                            << output.substr(at, 3000);
        if (found != std::string::npos) at = found;
    }
}

}  // namespace
