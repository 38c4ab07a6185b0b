// Runs the real program under a scripted terminal session: typed lines on
// standard input, a fresh data folder, and what it drew on standard output.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TerminalRun.h"

namespace {

class TerminalSessionTest : public ::testing::Test {
protected:
    // Runs the program with these typed lines; answers its exit status.
    int run(const std::string& lines) {
        int status = terminal.run(lines);
        output = terminal.output();
        return status;
    }
    // Position of `text` in the output at or after `from`; fails the test when absent.
    std::size_t expectAfter(const std::string& text, std::size_t from) {
        auto found = output.find(text, from);
        EXPECT_NE(found, std::string::npos) << "'" << text << "' not drawn after position " << from;
        return found == std::string::npos ? from : found + text.size();
    }

    TerminalRun terminal{"session"};
    std::string output;
};

TEST_F(TerminalSessionTest, LogInOpenAMenuGoBackLogOutAndQuit) {
    ASSERT_EQ(run("f1=9999\nprihlásiť\nok\nf1=1234\nprihlásiť\n2\nb\nodhlásiť\náno\nq\n"), 0)
        << terminal.errors();
    std::size_t at = 0;
    at = expectAfter("== trekora ==", at);
    at = expectAfter("prihlásiť", at);
    // The wrong PIN is refused.
    at = expectAfter("login", at);
    at = expectAfter("chybný pin", at);
    // The right one opens the main menu with the user row.
    at = expectAfter("== menu ==", at);
    at = expectAfter("odhlásiť", at);
    at = expectAfter("stredisko: 12", at);
    at = expectAfter("užívateľ: Ján Novák", at);
    at = expectAfter("príjem", at);
    at = expectAfter("servis", at);
    // Row 2 opens the receipt menu.
    at = expectAfter("== prijem ==", at);
    at = expectAfter("tovar", at);
    at = expectAfter("darčeky", at);
    // Back on the main menu, the logout question, then the login screen again.
    at = expectAfter("== menu ==", at);
    at = expectAfter("odhlásiť?", at);
    at = expectAfter("Ján Novák", at);
    at = expectAfter("== trekora ==", at);

    EXPECT_TRUE(std::filesystem::exists(terminal.database()));
    const std::string log = terminal.log();
    EXPECT_NE(log.find("application(_:didFinishLaunchingWithOptions:) start trekora2"), std::string::npos) << log;
    EXPECT_NE(log.find("applicationWillTerminate(_:) "), std::string::npos) << log;

    // The console trace goes to standard error, never through the drawn screens.
    EXPECT_EQ(output.find("start readNastaveniaItem()"), std::string::npos);
    EXPECT_NE(terminal.errors().find("start readNastaveniaItem()"), std::string::npos);
}

TEST_F(TerminalSessionTest, ThePinAndEnterLogInAndOnlyScreensReachStandardOutput) {
    ASSERT_EQ(run("1234\n9\nq\n"), 0) << terminal.errors();
    std::size_t at = expectAfter("== menu ==", 0);
    at = expectAfter("== info ==", at);
    expectAfter("verzia: 2.24", at);
    // The version and the other traces go to the console trace alone.
    EXPECT_EQ(output.find("\n2.24\n"), std::string::npos) << output;
    EXPECT_NE(terminal.errors().find("2.24\n"), std::string::npos);
    EXPECT_EQ(output.find("(person.fill)"), std::string::npos);
}

TEST_F(TerminalSessionTest, EndOfInputEndsTheProgramLikeQuit) {
    ASSERT_EQ(run("f1=1234\nprihlásiť\n"), 0);
    expectAfter("== menu ==", 0);
    const std::string log = terminal.log();
    EXPECT_NE(log.find("applicationWillTerminate(_:) "), std::string::npos) << log;
}

}  // namespace
