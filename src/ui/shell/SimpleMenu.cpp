#include "ui/shell/SimpleMenu.h"

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "ui/shell/Login.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Color;
using platform::Console;

const char* const SimpleMenu::kInstallPage = "https://trekora.example.com/install/";

namespace {

// Number of user-perceived characters of a text.
std::size_t graphemeCount(const std::string& text) {
    if (text.empty()) return 0;
    UErrorCode status = U_ZERO_ERROR;
    auto unicode = icu::UnicodeString::fromUTF8(text);
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) return static_cast<std::size_t>(unicode.countChar32());
    it->setText(unicode);
    std::size_t count = 0;
    for (int32_t pos = it->next(); pos != icu::BreakIterator::DONE; pos = it->next()) ++count;
    return count;
}

}  // namespace

bool SimpleMenu::animovat() {
    auto& settings = sharedTrekora().nastaveniaItem;
    return settings && settings->ANIMOVAT_OKNA == "A";
}

std::shared_ptr<SimpleMenu> SimpleMenu::self() {
    return std::static_pointer_cast<SimpleMenu>(shared_from_this());
}

void SimpleMenu::viewDidLoad() {
    platform::TableViewController::viewDidLoad();
    data = sharedTrekora().getMenuItems(item);
    setTitle(item);
    std::weak_ptr<SimpleMenu> weak = self();
    if (item == "menu") {
        navigationItem().setLeftBarButtonItems({std::make_shared<platform::BarButtonItem>(
            "odhlásiť", platform::BarButtonItem::Style::done, [weak](platform::BarButtonItem&) {
                if (auto screen = weak.lock()) screen->odhlasitTapped();
            })});
    }
    if (item == "info") {
        navigationItem().setRightBarButtonItems({std::make_shared<platform::BarButtonItem>(
            "update", platform::BarButtonItem::Style::done, [weak](platform::BarButtonItem&) {
                if (auto screen = weak.lock()) screen->updateTapped();
            })});
    }
}

void SimpleMenu::viewDidAppear(bool animated) {
    platform::TableViewController::viewDidAppear(animated);
    auto& trekora = sharedTrekora();
    trekora.objcdok = "";
    trekora.parcdok = "";
    // The delivery date or note of one document never reaches the next one.
    trekora.info = "";
}

int SimpleMenu::numberOfSections(platform::TableView&) { return 1; }

int SimpleMenu::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(data.size()); }

std::shared_ptr<platform::TableViewCell> SimpleMenu::cellForRowAt(platform::TableView& table,
                                                                  const platform::IndexPath& indexPath) {
    auto cell = table.dequeueReusableCell("SimpleCell", indexPath);
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= data.size()) return cell;
    const auto& row = *data[static_cast<std::size_t>(indexPath.row)];
    auto title = cell->textLabel();
    auto detail = cell->detailTextLabel();

    title->setText(row.caption);
    title->setTextColor(Color::label());
    if (detail) {
        detail->setText(row.popis);
        detail->setTextColor(Color::secondaryLabel());
    }

    auto imageView = cell->imageView();
    if (row.image.find(".png") != std::string::npos) {
        imageView->setImage(platform::Image::named(row.image));
    } else {
        imageView->setImage(platform::Image::systemNamed(row.image, platform::Image::Weight::regular));
        imageView->setTintColor(Color::secondaryLabel());
    }

    if (row.name == "VERZIA" && detail) detail->setTextColor(Color::systemRed());
    if (row.segue == "tlac_vyber") title->setTextColor(Color::systemRed());
    if (row.segue == "tlac_dennu_uzavierku") title->setTextColor(Color::systemRed());
    if (row.segue == "menu_uzivatel_segue") {
        auto& trekora = sharedTrekora();
        title->setText("stredisko: " + trekora.str);
        title->setTextColor(Color::systemRed());
        if (detail) {
            detail->setText("užívateľ: " + trekora.meno + " " + trekora.priezvisko + "\nidu: " + trekora.idu +
                            "\nspz: " + trekora.spz);
            detail->setTextColor(Color::systemRed());
        }
    }
    return cell;
}

void SimpleMenu::didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) {
    auto screen = self();
    platform::DispatchQueue::main()->async([screen, indexPath] { screen->dispatchRow(indexPath); });
}

void SimpleMenu::odhlasitTapped() {
    Console::print("odhlasit tapped");
    auto& trekora = sharedTrekora();
    auto alert = AlertController::make("odhlásiť?", trekora.meno + " " + trekora.priezvisko,
                                       AlertController::Style::alert);
    alert->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("You've pressed cancel");
    }));
    std::weak_ptr<SimpleMenu> weak = self();
    alert->addAction(std::make_shared<AlertAction>("áno", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
        Console::print("You've pressed ok");
        auto screen = weak.lock();
        if (!screen) return;
        // Logout always slides back, whatever the animation setting, and
        // always to the login screen, however many screens were opened
        // above it (a main menu opened from the user page, say).
        auto nav = screen->navigationController();
        if (!nav) return;
        const auto& stack = nav->viewControllers();
        std::size_t login = 0;
        for (std::size_t i = 0; i < stack.size(); ++i)
            if (std::dynamic_pointer_cast<Login>(stack[i])) login = i;
        if (login + 2 == stack.size()) {
            nav->popViewController(true);
        } else if (login == 0) {
            nav->popToRootViewController(true);
        } else {
            nav->setViewControllers({stack.begin(), stack.begin() + static_cast<std::ptrdiff_t>(login) + 1}, true);
        }
    }));
    present(alert, animovat());
}

void SimpleMenu::updateTapped() { platform::Application::shared().open(kInstallPage); }

void SimpleMenu::zobrazVysledok(const std::string& vysledok) {
    // A text without ",," is shown whole as the title, with no message.
    auto alert = AlertController::make(ResultString::title(vysledok), ResultString::message(vysledok),
                                       AlertController::Style::alert);
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [](AlertAction&) {
        Console::print("You've pressed ok");
    }));
    present(alert, animovat());
}

bool SimpleMenu::textFieldShouldChangeCharactersIn(platform::TextField& textField, platform::TextRange range,
                                                   const std::string&) {
    std::size_t length = graphemeCount(textField.textOrEmpty());
    if (length < 7) return true;
    return range.length > 0;
}

// --- helpers shared by the actions ---------------------------------------------

std::shared_ptr<platform::ViewController> SimpleMenu::instantiate(const std::string& identifier) {
    auto board = storyboard();
    if (!board) board = platform::Storyboard::named("Main");
    auto screen = board->instantiateViewController(identifier);
    if (!screen) sharedTrekora().log("SimpleMenu: screen " + identifier + " is not in the storyboard");
    return screen;
}

void SimpleMenu::push(const std::shared_ptr<platform::ViewController>& screen, bool animated) {
    if (!screen) return;
    if (auto nav = navigationController()) nav->pushViewController(screen, animated);
}

void SimpleMenu::openScreen(const std::string& identifier, bool animated, const Configure& configure) {
    auto screen = instantiate(identifier);
    if (!screen) return;
    if (configure) configure(*screen);
    push(screen, animated);
}

void SimpleMenu::openMenu(const std::string& menu, bool animated) {
    auto screen = std::dynamic_pointer_cast<SimpleMenu>(instantiate("SimpleMenu"));
    if (!screen) return;
    screen->item = menu;
    push(screen, animated);
}

void SimpleMenu::popSelf(bool animated) {
    if (auto nav = navigationController()) nav->popViewController(animated);
}

void SimpleMenu::showError(const std::string& title, const std::string& message, bool animated,
                           std::function<void()> onOk) {
    auto alert = AlertController::make(title, message, AlertController::Style::alert);
    alert->addAction(std::make_shared<AlertAction>(
        "ok", AlertAction::Style::defaultStyle, [onOk = std::move(onOk)](AlertAction&) {
            if (onOk) onOk();
        }));
    sharedTrekora().playSound5();
    present(alert, animated);
}

std::shared_ptr<AlertController> SimpleMenu::question(const std::string& title, const std::string& message,
                                                      const std::string& refuse, const std::string& confirm,
                                                      std::function<void()> onRefuse,
                                                      std::function<void()> onConfirm) {
    auto alert = AlertController::make(title, message, AlertController::Style::alert);
    alert->addAction(std::make_shared<AlertAction>(refuse, AlertAction::Style::cancel,
                                                   [onRefuse = std::move(onRefuse)](AlertAction&) {
                                                       if (onRefuse) onRefuse();
                                                   }));
    alert->addAction(std::make_shared<AlertAction>(confirm, AlertAction::Style::defaultStyle,
                                                   [onConfirm = std::move(onConfirm)](AlertAction&) {
                                                       if (onConfirm) onConfirm();
                                                   }));
    return alert;
}
