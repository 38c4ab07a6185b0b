#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <sstream>

#include "FakeScreens.h"
#include "app/ModelRunner.h"
#include "app/TerminalFrontEnd.h"
#include "app/TerminalRenderer.h"
#include "platform/DispatchQueue.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Utf8Text.h"
#include "platform/ui/Window.h"

#include <unistd.h>

namespace {

struct Session {
    std::shared_ptr<fake::MenuScreen> menu = std::make_shared<fake::MenuScreen>();
    std::shared_ptr<platform::NavigationController> nav = platform::NavigationController::make(menu);
    std::shared_ptr<platform::Window> window = std::make_shared<platform::Window>();
    Session() {
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
    }
};

}  // namespace

TEST(TerminalRenderer, DrawsATableScreen) {
    Session s;
    std::string text = ModelRunner(s.window).draw();
    EXPECT_EQ(text,
              "== menu ==\n"
              "[odhlásiť]\n"
              "  1. predaj\n"
              "     predaj tovaru\n"
              "  2. kilometre\n"
              "     stav tachometra\n"
              "  3. info\n"
              "     o programe\n"
              "  4. nastavenia\n");
    std::string coloured = ModelRunner(s.window).draw(true);
    EXPECT_NE(coloured.find("\x1b[31m     predaj tovaru\x1b[0m\n"), std::string::npos);
}

TEST(TerminalRenderer, DrawsAnAlertWithItsFieldOverTheScreen) {
    Session s;
    s.menu->askKilometres();
    std::string text = ModelRunner(s.window).draw();
    EXPECT_NE(text.find("  4. nastavenia\n"
                        "+-- kilometre\n"
                        "| pôvodný stav: 100\n"
                        "| f1 [100] <number pad>\n"
                        "| [1:storno (cancel)] [2:ok]\n"
                        "+--\n"),
              std::string::npos)
        << text;
}

TEST(TerminalRenderer, DrawsAWebPageAsText) {
    auto page = std::make_shared<fake::PageScreen>();
    page->html = "<p>riadok&nbsp;1<br>riadok 2</p>";
    platform::Window window;
    window.setRootViewController(platform::NavigationController::make(page));
    window.makeKeyAndVisible();
    EXPECT_EQ(TerminalRenderer().render(ScreenSnapshot::take(window)),
              "== info ==\n  ----\n  riadok\xC2\xA0" "1\n  riadok 2\n  ----\n");
}

TEST(TerminalRenderer, ALabelShowsTheCaptionItsScreenGaveIt) {
    class Totals : public platform::ViewController {
    public:
        void viewDidLoad() override {
            setTitle(std::string("hotovosť"));
            addOutlet<platform::Label>("labelNazov")->setText("Kaviareň Kvet");
            addOutlet<platform::Label>("labelSuma", "suma")->setText("     32.26");
        }
    };
    platform::Window window;
    window.setRootViewController(platform::NavigationController::make(std::make_shared<Totals>()));
    window.makeKeyAndVisible();
    EXPECT_EQ(TerminalRenderer().render(ScreenSnapshot::take(window)),
              "== hotovosť ==\n  Kaviareň Kvet\n  suma:      32.26\n");
}

TEST(TerminalRenderer, AScreenWithoutATitleDrawsNoEmptyTitleLine) {
    auto page = std::make_shared<fake::PageScreen>();
    page->html = "<h2>zapísať doklad?</h2>";
    platform::Window window;
    window.setRootViewController(platform::NavigationController::make(page));
    window.makeKeyAndVisible();
    page->setTitle(std::string());
    EXPECT_EQ(TerminalRenderer().render(ScreenSnapshot::take(window)), "  ----\n  zapísať doklad?\n  ----\n");
}

TEST(ModelRunner, DrivesRowsAlertsFieldsSwitchesAndBack) {
    Session s;
    ModelRunner runner(s.window);
    EXPECT_FALSE(runner.execute("9").ok);
    EXPECT_TRUE(runner.execute("2").ok);
    ASSERT_NE(s.window->presentedAlert(), nullptr);
    EXPECT_FALSE(runner.execute("b").ok);  // an alert waits for its answer
    EXPECT_TRUE(runner.execute("f1=1234").ok);
    EXPECT_TRUE(runner.execute("OK").ok);
    EXPECT_EQ(s.menu->km, "1234");
    EXPECT_EQ(s.window->presentedAlert(), nullptr);

    runner.execute("4");
    EXPECT_EQ(s.window->topScreen(), s.menu->form);
    runner.execute("f1=Jana");
    runner.execute("s1");
    EXPECT_FALSE(runner.execute("s2").ok);
    runner.execute("uložiť");
    EXPECT_EQ(s.menu->form->saved, (std::vector<std::string>{"Jana/A"}));
    EXPECT_EQ(s.window->topScreen(), s.menu);
    EXPECT_FALSE(runner.execute("b").ok);  // nothing beneath the menu
    EXPECT_TRUE(runner.execute("q").quit);
}

TEST(ModelRunner, ALineTheFieldCannotTakeLeavesTheAlertOpenAndItsValueAsItWas) {
    Session s;
    ModelRunner runner(s.window);
    runner.execute("2");
    for (const char* slip : {"hotovo", "25 km"}) {
        auto refused = runner.execute(slip);
        EXPECT_FALSE(refused.ok) << slip;
        EXPECT_EQ(refused.message, "\"" + std::string(slip) + "\" not typed: the field takes digits only");
        ASSERT_TRUE(s.window->presentedAlert()) << slip;
        EXPECT_EQ(s.window->presentedAlert()->textFields()[0]->textOrEmpty(), "100") << slip;
    }
    runner.execute("ok");
    EXPECT_EQ(s.menu->km, "100");
}

TEST(ModelRunner, AFilledLineTheFieldCannotTakeWholeIsRefusedAndTheFieldKeepsItsValue) {
    Session s;
    ModelRunner runner(s.window);
    runner.execute("2");
    ASSERT_TRUE(s.window->presentedAlert());
    auto& field = *s.window->presentedAlert()->textFields()[0];
    for (const char* slip : {"1e3", "2,5", "-7", "7a", "abc"}) {
        auto refused = runner.execute("f1=" + std::string(slip));
        EXPECT_FALSE(refused.ok) << slip;
        EXPECT_EQ(refused.message, "\"" + std::string(slip) + "\" not typed: the field takes digits only");
        EXPECT_EQ(field.textOrEmpty(), "100") << slip;
    }
    // Where the keypad has the decimal point, a decimal number is taken whole.
    field.setKeyboardType(platform::KeyboardType::decimalPad);
    EXPECT_TRUE(runner.execute("f1=2,5").ok);
    EXPECT_FALSE(runner.execute("f1=1e3").ok);
    runner.execute("ok");
    EXPECT_EQ(s.menu->km, "2,5");
}

TEST(ModelRunner, ATypedDateOutsideThePickersRangeIsRefusedNamingTheRange) {
    // Local 15:00 of a day of December 2026; the picker allows 14 days either side.
    auto at = [](int day) {
        std::tm tm{};
        tm.tm_year = 126;
        tm.tm_mon = 11;
        tm.tm_mday = day;
        tm.tm_hour = 15;
        tm.tm_isdst = -1;
        return std::chrono::system_clock::from_time_t(std::mktime(&tm));
    };
    class DateScreen : public platform::ViewController {
    public:
        std::shared_ptr<platform::DatePicker> picker;
        void viewDidLoad() override { picker = addOutlet<platform::DatePicker>("datePicker"); }
    };
    auto screen = std::make_shared<DateScreen>();
    auto window = std::make_shared<platform::Window>();
    window->setRootViewController(platform::NavigationController::make(screen));
    window->makeKeyAndVisible();
    screen->picker->setDate(at(7));
    screen->picker->setMinimumDate(at(7 - 14));
    screen->picker->setMaximumDate(at(7 + 14));
    ModelRunner runner(window);
    for (const char* outside : {"31.12.2026", "22.11.2026"}) {
        auto refused = runner.execute("d1=" + std::string(outside));
        EXPECT_FALSE(refused.ok) << outside;
        EXPECT_EQ(refused.message, "\"" + std::string(outside) + "\" not set: the date lies from 23.11.2026 to 21.12.2026");
        EXPECT_EQ(screen->picker->date(), at(7)) << outside;
    }
    // The first day of the range is taken, though its noon is before the bound's hour.
    EXPECT_TRUE(runner.execute("d1=23.11.2026").ok);
    EXPECT_EQ(screen->picker->date(), at(7 - 14));
    // A control character is no end of the date.
    EXPECT_FALSE(runner.execute(std::string("d1=08.12.2026\0", 14)).ok);
    EXPECT_EQ(screen->picker->date(), at(7 - 14));
}

TEST(TerminalFrontEnd, ScriptedSessionDrawsEachStep) {
    Session s;
    ModelRunner runner(s.window);
    int idles = 0;
    runner.setIdleHandler([&] { ++idles; });
    std::istringstream in("3\nb\n2\nf1=5\nstorno\nnonsense\n");
    std::ostringstream out;
    TerminalFrontEnd(runner, in, out, false, true).run();
    std::string text = out.str();
    EXPECT_EQ(idles, 6);
    EXPECT_NE(text.find("> 3\n\n== info ==\n[< b]\n  ----\n  Trekora\n  verzia\xC2\xA0" "2.24 & viac\n  a  b\n  ----\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("> f1=5\n\n== menu =="), std::string::npos);
    EXPECT_NE(text.find("| f1 [5] <number pad>"), std::string::npos);
    EXPECT_NE(text.find("> nonsense\n! unknown command or button \"nonsense\" (? for help)\n"), std::string::npos);
    EXPECT_EQ(s.menu->km, "100");  // storno keeps the reading
    EXPECT_EQ(text.substr(text.size() - 3), "> \n");  // ends at end of input
}

TEST(TerminalFrontEnd, LinesWiderThanTheTerminalWrapAtSpacesAndALongerWordIsCut) {
    Session s;
    s.menu->km = "spustite synchronizáciu znova, Rýchlosťšťčžýáíéúäôňľĺŕdlhéslovo";
    s.menu->askKilometres();
    ModelRunner runner(s.window);
    std::istringstream in("nonsense\n");
    std::ostringstream out;
    TerminalFrontEnd frontEnd(runner, in, out, false, true);
    frontEnd.setWidth([] { return 24; });
    frontEnd.run();
    const std::string text = out.str();
    EXPECT_NE(text.find("+-- kilometre\n"
                        "| pôvodný stav: spustite\n"
                        "| synchronizáciu znova,\n"
                        "| Rýchlosťšťčžýáíéúäôňľĺ\n"
                        "| ŕdlhéslovo\n"
                        "| f1 [spustite\n"
                        "| synchronizáciu znova,\n"),
              std::string::npos)
        << text;
    // Every line of the session fits, the help and messages too: characters
    // are counted, not bytes.
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) EXPECT_LE(platform::Utf8Text::length(line), 24u) << line;
}

TEST(ModelRunner, RunsMainQueueWorkAfterEachCommand) {
    // A row whose selection is handed to the main queue, as the menu screens do.
    class Deferred : public fake::MenuScreen {
    public:
        void didSelectRowAt(platform::TableView& t, const platform::IndexPath& p) override {
            auto self = std::static_pointer_cast<Deferred>(shared_from_this());
            platform::DispatchQueue::main()->async([self, &t, p] { self->MenuScreen::didSelectRowAt(t, p); });
        }
    };
    auto menu = std::make_shared<Deferred>();
    auto window = std::make_shared<platform::Window>();
    window->setRootViewController(platform::NavigationController::make(menu));
    window->makeKeyAndVisible();
    ModelRunner runner(window);
    runner.execute("3");
    EXPECT_EQ(window->topScreen()->title(), std::optional<std::string>("info"));
}

TEST(TerminalFrontEnd, ReadsADescriptorToItsEnd) {
    Session s;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string script = "4\nf1=Eva\nuložiť";  // last line without a line feed
    ASSERT_EQ(::write(fds[1], script.data(), script.size()), static_cast<ssize_t>(script.size()));
    ::close(fds[1]);
    ModelRunner runner(s.window);
    std::ostringstream out;
    TerminalFrontEnd(runner, fds[0], out, false, true).run();
    ::close(fds[0]);
    EXPECT_EQ(s.menu->form->saved, (std::vector<std::string>{"Eva/N"}));
}

TEST(TerminalRenderer, IconsShowAsSignsAndColoursWithoutANameStillPaint) {
    Session s;
    s.menu->icons = {"person.fill", "tray.and.arrow.down.fill", "xmark.circle.fill", "generic_box.png"};
    s.menu->tint = platform::Color::fromRGBA255(0xED, 0x4B, 0x35);
    s.menu->tableView()->reloadData();
    std::string text = ModelRunner(s.window).draw();
    EXPECT_EQ(text.find('('), std::string::npos) << text;
    EXPECT_NE(text.find("  1. predaj\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  2. ↓ kilometre\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  3. ✗ info\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  4. nastavenia\n"), std::string::npos) << text;
    EXPECT_NE(ModelRunner(s.window).draw(true).find("\x1b[31m✗ info\x1b[0m"), std::string::npos);
}

TEST(ModelRunner, ABareValueFillsTheOnlyFieldAndAnEmptyLineTapsTheOnlyButton) {
    Session s;
    ModelRunner runner(s.window);
    EXPECT_TRUE(runner.execute("").ok);  // the menu's lone bar button is not tapped beside its rows
    EXPECT_EQ(s.menu->logouts, 0);

    runner.execute("2");
    ASSERT_TRUE(s.window->presentedAlert());
    EXPECT_TRUE(runner.execute("1").ok);  // a number in an alert with one field is its value
    EXPECT_TRUE(runner.execute("").ok);   // two actions: an empty line chooses none
    ASSERT_TRUE(s.window->presentedAlert());
    EXPECT_TRUE(runner.execute("ok").ok);
    EXPECT_EQ(s.menu->km, "1");

    auto pin = std::make_shared<fake::PinScreen>();
    s.nav->pushViewController(pin, false);
    EXPECT_TRUE(runner.execute("4321").ok);  // typed, then the line's Enter taps the only button
    EXPECT_EQ(pin->entered, (std::vector<std::string>{"4321"}));
    EXPECT_TRUE(runner.execute("").ok);
    EXPECT_EQ(pin->entered, (std::vector<std::string>{"4321", "4321"}));
    EXPECT_TRUE(runner.execute("prihlásiť").ok);  // a button's title stays a tap
    EXPECT_EQ(pin->entered.size(), 3u);
    EXPECT_TRUE(runner.execute("f1=12a").ok);
    EXPECT_EQ(pin->entered.size(), 3u);  // an explicit fill does not submit
    runner.execute("");
    EXPECT_EQ(pin->entered.back(), "12a");
    ASSERT_TRUE(s.window->presentedAlert());
    EXPECT_TRUE(runner.execute("").ok);  // the one action of the alert
    EXPECT_FALSE(s.window->presentedAlert());
}

TEST(ModelRunner, ALineHoldingAControlCharacterIsRefusedAndTheFieldKeepsItsValue) {
    Session s;
    ModelRunner runner(s.window);
    runner.execute("4");
    runner.execute("f1=Jana");
    for (const std::string& slip : {std::string("f1=ab\0cd", 9), std::string("f1=ab\x01" "cd"), std::string("f1=a\tb"),
                                   std::string("f1=ab\xC2\x85")}) {
        auto refused = runner.execute(slip);
        EXPECT_FALSE(refused.ok) << slip;
        EXPECT_EQ(s.menu->form->name->textOrEmpty(), "Jana") << slip;
    }
    EXPECT_EQ(runner.execute(std::string("f1=ab\0cd", 9)).message,
              "line not taken: it holds the control character U+0000 (after \"f1=ab\"); no field takes one");
    // Typed bare into the one field of a screen, the line taps nothing either.
    auto pin = std::make_shared<fake::PinScreen>();
    s.nav->pushViewController(pin, false);
    EXPECT_FALSE(runner.execute(std::string("12\0", 3)).ok);
    EXPECT_TRUE(pin->entered.empty());
    EXPECT_EQ(pin->pin->textOrEmpty(), "");
}

TEST(TerminalFrontEnd, HelpOnTheFirstScreenAndOnRequestAndTallScreensScroll) {
    Session s;
    for (int i = 0; i < 20; ++i) s.menu->rows.push_back({"riadok " + std::to_string(i + 5), ""});
    s.menu->tableView()->reloadData();
    ModelRunner runner(s.window);
    std::istringstream in("+\n+\n+\n+\n+\n+\n-\n?\n");
    std::ostringstream out;
    TerminalFrontEnd frontEnd(runner, in, out, false, true);
    frontEnd.setHeight([] { return 12; });
    frontEnd.run();
    const std::string text = out.str();
    const std::string help = Command::helpLine();
    const auto first = text.find(help);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(text.find(help, first + 1), text.find("> ?\n" + help) + 4) << text;  // once more, on "?"
    EXPECT_NE(text.find("== menu ==\n[odhlásiť]\n  1. predaj\n"), std::string::npos) << text;
    EXPECT_NE(text.find("-- 1-"), std::string::npos) << text;
    EXPECT_NE(text.find("> +\n\n== menu ==\n[odhlásiť]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  24. riadok 24\n-- "), std::string::npos) << text;
    EXPECT_NE(text.find("! nothing more to show that way"), std::string::npos) << text;
    // Every drawing after a command fits the terminal with the prompt.
    std::size_t at = text.find("> +\n");
    while (at != std::string::npos) {
        std::size_t next = text.find("> ", at + 2);
        if (next == std::string::npos) break;
        // From below the echoed command to the next prompt, that included.
        const auto lines = std::count(text.begin() + static_cast<long>(at) + 4, text.begin() + static_cast<long>(next), '\n');
        EXPECT_LE(lines + 1, 12) << text.substr(at, next - at);
        at = next;
    }
}

TEST(TerminalFrontEnd, ALongListMakesCellsOnlyForTheRowsInViewAndEveryRowStaysReachable) {
    Session s;
    for (int i = 0; i < 20000; ++i) s.menu->rows.push_back({"riadok " + std::to_string(i + 5), ""});
    auto table = s.menu->tableView();
    int made = 0;
    table->registerCell("SimpleCell", [&made] {
        ++made;
        return std::make_shared<platform::TableViewCell>(platform::TableViewCell::Style::subtitle, "SimpleCell");
    });
    table->reloadData();
    ModelRunner runner(s.window);
    std::istringstream in("+\n+\n-\n20004\n");
    std::ostringstream out;
    TerminalFrontEnd frontEnd(runner, in, out, false, true);
    frontEnd.setHeight([] { return 12; });
    frontEnd.run();
    const std::string text = out.str();
    EXPECT_LE(made, 20) << "cells for rows never shown";
    EXPECT_LE(table->indexPathsForVisibleRows().size(), 10u);
    EXPECT_NE(text.find(" / 20004 rows   + further   - back --"), std::string::npos) << text.substr(0, 2000);
    EXPECT_EQ(table->indexPathForSelectedRow(), std::optional<platform::IndexPath>(platform::IndexPath{0, 20003}));
    // Drawn whole (no terminal), the list runs through a cell or two.
    EXPECT_NE(runner.draw().find("  20004. riadok 20004\n"), std::string::npos);
    EXPECT_LE(made, 22);
    EXPECT_LE(table->indexPathsForVisibleRows().size(), 1u);
}
