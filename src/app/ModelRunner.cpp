#include "app/ModelRunner.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>
#include <utility>

#include "app/TerminalRenderer.h"
#include "core/DeviceServices.h"
#include "platform/Wifi.h"
#include "platform/MainRunLoop.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Utf8Text.h"
#include "ui/sales/Polozky.h"

using namespace platform;

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Titles match without regard to ASCII case.
bool sameTitle(const std::string& a, const std::string& b) { return lower(a) == lower(b); }

ModelRunner::Result failure(std::string message) { return {false, false, std::move(message)}; }

// What a button is called by: its title, or the name of its image when it
// has no title.
std::string buttonName(const Button& button) {
    return button.title().empty() && button.image() ? button.image()->name() : button.title();
}

// "dd.mm.yyyy" or "yyyy-mm-dd" as local noon of that day.
std::optional<DatePicker::TimePoint> parseDate(const std::string& text) {
    int d = 0, m = 0, y = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d.%d.%d%c", &d, &m, &y, &tail) != 3 &&
        std::sscanf(text.c_str(), "%d-%d-%d%c", &y, &m, &d, &tail) != 3)
        return std::nullopt;
    if (y < 1900 || m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    if (t == -1 || tm.tm_mday != d) return std::nullopt;
    return std::chrono::system_clock::from_time_t(t);
}

// The local calendar day of `t` as yyyymmdd, and as "dd.mm.yyyy".
int dayOf(DatePicker::TimePoint t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return (tm.tm_year + 1900) * 10000 + (tm.tm_mon + 1) * 100 + tm.tm_mday;
}

std::string dayText(DatePicker::TimePoint t) {
    const int day = dayOf(t);
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", day % 100, day / 100 % 100, day / 10000);
    return text;
}

// The first character of `text` that the keyboard cannot type; none when it
// types them all.
std::optional<std::string> untypable(KeyboardType keyboard, const std::string& text) {
    for (const auto& c : Utf8Text::characters(text))
        if (!keyboardAllows(keyboard, c)) return c;
    return std::nullopt;
}

// Why a keyboard refuses `character`: what it takes, or that it lacks it.
std::string refusal(KeyboardType keyboard, const std::string& character) {
    const std::string takes = keyboardTakes(keyboard);
    return takes.empty() ? "has no \"" + character + "\"" : "takes " + takes;
}

// The first control character of a typed line (C0, DEL or C1), as
// "U+XXXX", and the text before it; none when the line holds none. The line
// end ("\r" of a "\r\n") is no part of the line. No field takes a control
// character: stored, a U+0000 would cut the text short, and a date or a
// number would be read up to it.
std::optional<std::pair<std::string, std::string>> controlCharacter(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::string before;
    for (const auto& c : Utf8Text::characters(line)) {
        const auto lead = static_cast<unsigned char>(c[0]);
        unsigned code = 0x100;
        if (c.size() == 1 && (lead < 0x20 || lead == 0x7F)) code = lead;
        if (c.size() == 2 && lead == 0xC2 && static_cast<unsigned char>(c[1]) < 0xA0)
            code = static_cast<unsigned char>(c[1]);
        if (code < 0x100) {
            char name[8];
            std::snprintf(name, sizeof name, "U+%04X", code);
            return std::pair{std::string(name), before};
        }
        before += c;
    }
    return std::nullopt;
}

// Whether a lines editor on this screen, its stack or what it presents holds
// chosen lines of a document it has not written.
bool documentBeingWritten(const std::shared_ptr<ViewController>& screen, int depth = 0) {
    if (!screen || depth > 64) return false;
    if (auto editor = std::dynamic_pointer_cast<Polozky>(screen); editor && editor->rozpracovany()) return true;
    if (auto nav = std::dynamic_pointer_cast<NavigationController>(screen))
        for (const auto& pushed : nav->viewControllers())
            if (documentBeingWritten(pushed, depth + 1)) return true;
    return documentBeingWritten(screen->presentedViewController(), depth + 1);
}

}  // namespace

ModelRunner::ModelRunner(std::shared_ptr<Window> window)
    : window_(std::move(window)),
      idle_([] { MainRunLoop::drain(); }),
      wait_([](std::chrono::milliseconds duration) { MainRunLoop::runFor(duration); }) {}

void ModelRunner::idle() {
    if (idle_) idle_();
}

std::string ModelRunner::draw(bool colour) const { return TerminalRenderer(colour).render(snapshot()); }

ModelRunner::Result ModelRunner::fill(TextField& field, const std::string& text) {
    if (!field.isEnabled()) return failure("field is disabled");
    field.becomeFirstResponder();
    field.clear();
    size_t typed = field.type(text);
    size_t wanted = Utf8Text::length(text);
    if (typed < wanted) return {false, true, std::to_string(wanted - typed) + " character(s) not accepted"};
    return {};
}

ModelRunner::Result ModelRunner::execute(const std::string& line) {
    Command command = Command::parse(line);
    // A question about quitting is answered by the very next line.
    const bool quitAsked = std::exchange(quitAsked_, false);
    // A line with a control character is taken by no field, date, search or
    // command: it is refused whole, and nothing is typed or tapped.
    if (auto control = controlCharacter(line))
        return failure("line not taken: it holds the control character " + control->first +
                       (control->second.empty() ? std::string(" at its start")
                                                : " (after \"" + control->second + "\")") +
                       "; no field takes one");
    if (command.kind == Command::Kind::quit) {
        if (!quitAsked && documentBeingWritten(window_->rootViewController())) {
            quitAsked_ = true;
            return {false, true, "a document is being written and not stored: q again quits without it"};
        }
        return {true, true, {}};
    }
    if (command.kind == Command::Kind::help) return {false, true, Command::helpLine()};
    if (command.kind == Command::Kind::wait) {
        if (wait_) wait_(std::chrono::seconds(std::min(command.number, 600)));
        idle();
        return {};
    }
    if (command.kind == Command::Kind::scrollDown || command.kind == Command::Kind::scrollUp) return {};
    if (command.kind == Command::Kind::wifi) {
        // The handheld's own Wi-Fi switch, outside the application's screens.
        if (!command.text.empty()) platform::Wifi::simulate(command.text);
        idle();
        return {false, true, "wifi: " + currentWifiSsid().value_or("(none)")};
    }
    Result result;
    if (auto alert = window_->presentedAlert()) {
        result = onAlert(command, *alert);
    } else {
        result = onScreen(command, snapshot());
    }
    idle();
    return result;
}

std::function<bool()> ModelRunner::singleButton(const ScreenSnapshot& s) {
    // A list's screen is for its rows: a lone bar button beside them (a
    // logout, say) is not what an empty line means.
    if (s.rowCount > 0) return {};
    std::function<bool()> only;
    int count = 0;
    for (auto* list : {&s.leftItems, &s.rightItems, &s.toolbarItems})
        for (auto& item : *list) {
            ++count;
            only = [item] {
                if (!item->isEnabled()) return false;
                item->tap();
                return true;
            };
        }
    for (auto& button : s.buttons) {
        ++count;
        only = [button] {
            if (!button->isEnabled()) return false;
            button->tap();
            return true;
        };
    }
    if (count != 1) return {};
    return only;
}

ModelRunner::Result ModelRunner::enterValue(TextField& field, const std::string& text,
                                            const std::function<bool()>& submit) {
    // A line that the field does not take whole is no value for it, typed
    // bare or as "f<n>=": the field keeps what it held, an alert stays open,
    // and the person is told.
    if (auto refused = untypable(field.keyboardType(), text))
        return failure("\"" + text + "\" not typed: the field " + refusal(field.keyboardType(), *refused));
    const auto before = field.text();
    Result typed = fill(field, text);
    if (typed.ok && !typed.message.empty()) {
        field.setText(before);
        return failure("\"" + text + "\" not typed: the field took only part of it");
    }
    if (!typed.ok || !submit) return typed;
    if (!submit()) return failure("button is disabled");
    return {};
}

ModelRunner::Result ModelRunner::onAlert(const Command& command, AlertController& alert) {
    std::function<bool()> submit;
    if (alert.actions().size() == 1) submit = [&alert] { return alert.tapAction(std::size_t{0}); };
    if (command.kind == Command::Kind::empty) {
        if (submit && !submit()) return failure("action is disabled");
        return {};
    }
    if (command.bare && alert.textFields().size() == 1) {
        // A number or a text that names no action is the field's value.
        bool names = false;
        for (auto& action : alert.actions()) names = names || sameTitle(action->title(), command.text);
        if (!names) return enterValue(*alert.textFields().front(), command.text, submit);
    }
    switch (command.kind) {
        case Command::Kind::row:
            if (command.number > static_cast<int>(alert.actions().size())) return failure("no such action");
            if (!alert.tapAction(static_cast<size_t>(command.number - 1))) return failure("action is disabled");
            return {};
        case Command::Kind::fill:
            if (command.number > static_cast<int>(alert.textFields().size())) return failure("no such field");
            return enterValue(*alert.textFields()[command.number - 1], command.text, {});
        case Command::Kind::tap:
            for (size_t i = 0; i < alert.actions().size(); ++i)
                if (sameTitle(alert.actions()[i]->title(), command.text)) {
                    if (!alert.tapAction(i)) return failure("action is disabled");
                    return {};
                }
            return failure("no action \"" + command.text + "\" in this alert");
        default:
            return failure("an alert is open: choose one of its actions");
    }
}

ModelRunner::Result ModelRunner::onScreen(const Command& command, const ScreenSnapshot& s) {
    if (!s.screen) return failure("no screen");
    auto submit = singleButton(s);
    if (command.kind == Command::Kind::empty) {
        if (submit && !submit()) return failure("button is disabled");
        return {};
    }
    if (command.bare && s.fields.size() == 1) {
        // A number that is no row, or a text that names no button, is the
        // value of the screen's one field.
        bool names = command.kind == Command::Kind::row && s.rowCount > 0;
        if (command.kind == Command::Kind::tap) {
            for (auto* list : {&s.leftItems, &s.rightItems, &s.toolbarItems})
                for (auto& item : *list) names = names || sameTitle(item->title(), command.text);
            for (auto& button : s.buttons) names = names || sameTitle(buttonName(*button), command.text);
        }
        if (!names) return enterValue(*s.fields.front(), command.text, submit);
    }
    switch (command.kind) {
        case Command::Kind::row: {
            const auto row = s.row(command.number);
            if (!row) return failure("no row " + std::to_string(command.number));
            row->table->tapRow(row->indexPath);
            return {};
        }
        case Command::Kind::accessory: {
            const auto row = s.row(command.number);
            if (!row) return failure("no row " + std::to_string(command.number));
            row->table->tapAccessory(row->indexPath);
            return {};
        }
        case Command::Kind::fill:
            if (command.number > static_cast<int>(s.fields.size())) return failure("no field " + std::to_string(command.number));
            return enterValue(*s.fields[command.number - 1], command.text, {});
        case Command::Kind::toggle:
            if (command.number > static_cast<int>(s.switches.size())) return failure("no switch " + std::to_string(command.number));
            if (!s.switches[command.number - 1]->isEnabled()) return failure("switch is disabled");
            s.switches[command.number - 1]->toggle();
            return {};
        case Command::Kind::date: {
            if (command.number > static_cast<int>(s.datePickers.size())) return failure("no date " + std::to_string(command.number));
            auto date = parseDate(command.text);
            if (!date) return failure("date as dd.mm.yyyy");
            auto& picker = *s.datePickers[command.number - 1];
            // A picker keeps a scrolled date within its range; a typed day
            // outside it is refused rather than moved to the range's edge.
            const auto& earliest = picker.minimumDate();
            const auto& latest = picker.maximumDate();
            if ((earliest && dayOf(*date) < dayOf(*earliest)) || (latest && dayOf(*date) > dayOf(*latest))) {
                std::string range = earliest ? "from " + dayText(*earliest) : std::string();
                if (latest) range += (range.empty() ? "" : " ") + std::string("to ") + dayText(*latest);
                return failure("\"" + command.text + "\" not set: the date lies " + range);
            }
            picker.pick(*date);
            return {};
        }
        case Command::Kind::search: {
            if (!s.searchBar) return failure("no search bar");
            // Characters the scope's keyboard lacks would vanish from the
            // search: the line is refused, with the way to the other scopes.
            const KeyboardType keyboard = s.searchBar->keyboardType();
            if (auto refused = untypable(keyboard, command.text)) {
                const auto& scopes = s.searchBar->scopeButtonTitles();
                const int selected = s.searchBar->selectedScopeButtonIndex();
                const bool scoped = s.searchBar->showsScopeBar() && selected >= 0 &&
                                    selected < static_cast<int>(scopes.size());
                std::string message = "\"" + command.text + "\" not searched: " +
                                      (scoped ? "scope \"" + scopes[selected] + "\"" : std::string("the search")) +
                                      " " + refusal(keyboard, *refused);
                const char* separator = "; ";
                for (int i = 0; scoped && i < static_cast<int>(scopes.size()); ++i) {
                    if (i == selected) continue;
                    message += separator + ("sc" + std::to_string(i + 1)) + " for \"" + scopes[i] + "\"";
                    separator = ", ";
                }
                return failure(message);
            }
            s.searchBar->becomeFirstResponder();
            s.searchBar->enterText(command.text);
            return {};
        }
        case Command::Kind::scope:
            if (!s.searchBar || command.number > static_cast<int>(s.searchBar->scopeButtonTitles().size()))
                return failure("no scope " + std::to_string(command.number));
            s.searchBar->selectScope(command.number - 1);
            return {};
        case Command::Kind::back: {
            if (!s.canGoBack) {
                if (auto presenting = s.screen->presentingViewController()) {
                    s.screen->dismiss(true);
                    return {};
                }
                return failure("no way back from here");
            }
            s.screen->navigationController()->popViewController(true);
            return {};
        }
        case Command::Kind::tap: {
            for (auto* list : {&s.leftItems, &s.rightItems, &s.toolbarItems})
                for (auto& item : *list)
                    if (sameTitle(item->title(), command.text)) {
                        if (!item->isEnabled()) return failure("button is disabled");
                        item->tap();
                        return {};
                    }
            for (auto& button : s.buttons) {
                if (sameTitle(buttonName(*button), command.text)) {
                    if (!button->isEnabled()) return failure("button is disabled");
                    button->tap();
                    return {};
                }
            }
            return failure("unknown command or button \"" + command.text + "\" (? for help)");
        }
        default:
            return failure("unknown command");
    }
}
