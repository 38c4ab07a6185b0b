#include "fakes/FakePrinter.h"
#include "fiscal/Test.h"
#include "platform/Console.h"
#include "platform/MainRunLoop.h"

#include <gtest/gtest.h>

namespace {

bool waitForLine(platform::Console::Capture& console, const std::string& line, int timeoutMs = 3000) {
    return platform::MainRunLoop::runUntil([&] { return console.contains(line); },
                                           std::chrono::milliseconds(timeoutMs));
}

}  // namespace

TEST(TestScreen, ConnectsGreetsSendsRawRequestsAndShowsTheTimeOut) {
    platform::Console::Capture console;
    FakePrinter adapter("*_Tlaciaren_OK_*");
    auto screen = std::make_shared<::Test>();  // the screen, not the test framework's class
    screen->loadViewIfNeeded();
    screen->host = "127.0.0.1";
    screen->port = adapter.port();
    screen->ioTimeout = 0.2;

    // Without "create" the placeholder socket has no delegate.
    screen->btn2Action();
    EXPECT_TRUE(console.contains("error: Attempting to connect without a delegate. Set a delegate first."));

    screen->btn1Action();
    screen->btn2Action();
    ASSERT_TRUE(waitForLine(console, "socket didread"));
    EXPECT_TRUE(console.contains("tag= 0"));
    EXPECT_TRUE(console.contains("str= *_Tlaciaren_OK_*"));

    // ESC DC1 waits for five bytes that this adapter never sends.
    screen->btn4Action();
    EXPECT_TRUE(console.contains("[27, 17]"));
    ASSERT_TRUE(waitForLine(console, "socket diddisconnect"));
    EXPECT_TRUE(waitForLine(console, "Read operation timed out"));
    ASSERT_TRUE(adapter.waitForClose());
    EXPECT_EQ(std::string("\x1b\x11"), adapter.received());
}
