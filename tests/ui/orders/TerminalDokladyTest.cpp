// The real program in the terminal: from the main menu's "doklady" row,
// through a search, to the preview of a cash sale.

#include <gtest/gtest.h>

#include <string>

#include "support/TerminalRun.h"

namespace {

TEST(TerminalDoklady, FromTheDocumentsRowToTheFirstCashSalesPreview) {
    TerminalRun terminal("doklady");
    ASSERT_EQ(terminal.run("f1=1234\nprihlásiť\n6\n/hotov\n1\nq\n"), 0) << terminal.errors();
    const std::string output = terminal.output();

    const std::string all = terminal.scalar("select count(*) from vety");
    const std::string cash = terminal.scalar("select count(*) from vety where pohyb = 10");
    const std::string newest = terminal.scalar("select cdok from vety where pohyb = 10 order by id desc limit 1");
    ASSERT_FALSE(newest.empty());
    std::size_t at = 0;
    for (const std::string& step : {std::string("== menu =="), "== doklady: " + all + " / " + all + " ==",
                                    "== doklady: " + cash + " / " + all + " ==", std::string("== náhľad =="),
                                    "POKLADNIČNÝ DOKLAD č. " + newest}) {
        const auto found = output.find(step, at);
        ASSERT_NE(found, std::string::npos) << "'" << step << "' not drawn after position " << at << "\n"
                                            << output.substr(at, 3000);
        at = found;
    }
}

}  // namespace
