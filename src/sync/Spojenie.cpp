#include "sync/Spojenie.h"

#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "platform/Numbers.h"
#include "platform/Places.h"
#include "platform/ui/AlertAction.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

Spojenie::Spojenie()
    : selectedMenuItem(std::make_shared<MenuItem>()),
      startTime(platform::Date::now()),
      documentsPath(platform::Places::documentsDirectory()) {}

void Spojenie::viewDidLoad() {
    platform::ViewController::viewDidLoad();
}

void Spojenie::viewDidAppear(bool animated) {
    platform::ViewController::viewDidAppear(animated);
    navigationItem().setHidesBackButton(true);
    if (auto v = progressView.lock()) v->setHidden(true);
    if (auto v = labelInfo.lock()) v->setHidden(true);
    if (auto v = activityIndicator.lock()) v->setHidden(true);

    const std::string segue = selectedMenuItem ? selectedMenuItem->segue : "";
    if (segue == "spojenie_synchronizacia_segue") {
        setTitle(std::string("synchronizácia"));
        potvrdSynchronizaciu();
    } else if (segue == "polozky_synchronizacia_po_preskladneni_segue") {
        setTitle(std::string("synchronizácia po preskladneni"));
        synchronizaciaPoPreskladneni();
    } else if (segue == "spojenie_aktualizacia_segue") {
        setTitle(std::string("aktualizácia"));
        overPin();
    } else if (segue == "spojenie_obnova_segue") {
        setTitle(std::string("obnova"));
        overPin();
    } else if (segue == "spojenie_export_segue") {
        setTitle(std::string("export"));
        exportObjednavok();
    } else if (segue == "spojenie_import_segue") {
        auto alert = AlertController::make("importovať objednávky na závoz?", "", AlertController::Style::alert);
        auto weak = std::weak_ptr<Spojenie>(self());
        alert->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel, [weak](AlertAction&) {
            Console::print("nie");
            if (auto s = weak.lock()) s->pop();
        }));
        alert->addAction(std::make_shared<AlertAction>("áno", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
            Console::print("You've pressed ok");
            if (auto s = weak.lock()) s->importObjednavok();
        }));
        predstav(alert);
    }
}

std::string Spojenie::localFileUrl(const std::string& address) const {
    std::string name = address;
    if (auto url = platform::Url::parse(address)) name = url->lastPathComponent();
    auto slash = name.find_last_of('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    return documentsPath + "/" + name;
}

void Spojenie::potvrdSynchronizaciu() {
    auto alert = AlertController::make("spustiť synchronizáciu ?", "", AlertController::Style::alert);
    auto weak = std::weak_ptr<Spojenie>(self());
    alert->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel, [weak](AlertAction&) {
        Console::print("nie");
        if (auto s = weak.lock()) s->pop();
    }));
    alert->addAction(std::make_shared<AlertAction>("áno", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
        Console::print("You've pressed ok");
        if (auto s = weak.lock()) s->synchronizacia();
    }));
    predstav(alert);
}

void Spojenie::overPin() {
    const std::string challenge = sharedTrekora().getSystemChallenge();
    auto alert = AlertController::make("pin", challenge, AlertController::Style::alert);
    alert->addTextField([](platform::TextField& field) {
        field.setKeyboardType(platform::KeyboardType::numberPad);
        field.setText(std::string());
    });
    auto weak = std::weak_ptr<Spojenie>(self());
    std::weak_ptr<AlertController> weakAlert = alert;
    alert->addAction(std::make_shared<AlertAction>("storno", AlertAction::Style::cancel, [weak](AlertAction&) {
        Console::print("You've pressed cancel");
        if (auto s = weak.lock()) s->pop();
    }));
    alert->addAction(std::make_shared<AlertAction>(
        "ok", AlertAction::Style::defaultStyle, [weak, weakAlert, challenge](AlertAction&) {
            Console::print("You've pressed ok");
            auto s = weak.lock();
            if (!s) return;
            std::string pin;
            if (auto a = weakAlert.lock(); a && !a->textFields().empty()) pin = a->textFields().front()->textOrEmpty();
            if (sharedTrekora().checkSystemPin(pin, challenge)) {
                const std::string segue = s->selectedMenuItem ? s->selectedMenuItem->segue : "";
                if (segue == "spojenie_aktualizacia_segue") s->aktualizacia();
                if (segue == "spojenie_obnova_segue") s->obnova();
            } else {
                s->zobrazChybnyPin();
            }
        }));
    predstav(alert);
}

void Spojenie::zobrazChybnyPin() {
    auto alert = AlertController::make("chybny pin!", "", AlertController::Style::alert);
    auto weak = std::weak_ptr<Spojenie>(self());
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
        Console::print("You've pressed ok");
        if (auto s = weak.lock()) s->pop();
    }));
    if (auto v = activityIndicator.lock()) v->setHidden(true);
    sharedTrekora().playSound5();
    predstav(alert);
}

namespace {

// The download prompt of the restore and of the update: the address in a
// text field the salesman may change.
std::shared_ptr<AlertController> downloadPrompt(Spojenie& screen, const std::string& title,
                                                const std::string& address) {
    auto alert = AlertController::make(title, "", AlertController::Style::alert);
    alert->addTextField([address](platform::TextField& field) {
        field.setKeyboardType(platform::KeyboardType::defaultType);
        field.setPlaceholder("");
        field.setTextAlignment(platform::TextAlignment::right);
        field.setText(address);
    });
    auto weak = std::weak_ptr<Spojenie>(std::static_pointer_cast<Spojenie>(screen.shared_from_this()));
    std::weak_ptr<AlertController> weakAlert = alert;
    alert->addAction(std::make_shared<AlertAction>("storno", AlertAction::Style::cancel, [weak](AlertAction&) {
        Console::print("You've pressed cancel");
        if (auto s = weak.lock()) s->pop();
    }));
    alert->addAction(std::make_shared<AlertAction>(
        "ok", AlertAction::Style::defaultStyle, [weak, weakAlert, title](AlertAction&) {
            Console::print("You've pressed ok");
            auto s = weak.lock();
            if (!s) return;
            s->ukazPriebeh();
            s->startTime = platform::Date::now();
            s->nastavProgress(0, false);
            s->nastavInfo(title);
            std::string text;
            if (auto a = weakAlert.lock(); a && !a->textFields().empty()) text = a->textFields().front()->textOrEmpty();
            Console::print(text);
            s->stiahni(text);
        }));
    return alert;
}

}  // namespace

void Spojenie::obnova() {
    auto& trekora = sharedTrekora();
    const std::string dir = trekora.nastaveniaItem ? trekora.nastaveniaItem->BACKUP_PC_DIR : "";
    predstav(downloadPrompt(*this, "obnova", dir + "/trekora.db3"));
}

void Spojenie::aktualizacia() {
    // The server's date of the update is asked for first (the application
    // records it); the question waits on a background queue, never on the
    // main one, and the prompt follows when it has an answer.
    auto weak = std::weak_ptr<Spojenie>(self());
    platform::DispatchQueue::global(platform::DispatchQueue::QoS::Utility)->async([weak] {
        sharedTrekora().jePotrebnyUpade();
        platform::DispatchQueue::main()->async([weak] {
            auto s = weak.lock();
            if (!s) return;
            auto& trekora = sharedTrekora();
            const std::string dir = trekora.nastaveniaItem ? trekora.nastaveniaItem->IMPORT_PC_DIR : "";
            s->predstav(downloadPrompt(*s, "aktualizácia", dir + "export_akcen.db3"));
        });
    });
}

// --- helpers -------------------------------------------------------------------------------

std::shared_ptr<Spojenie> Spojenie::self() {
    return std::static_pointer_cast<Spojenie>(shared_from_this());
}

std::shared_ptr<platform::UrlSessionDelegate> Spojenie::selfAsDelegate() {
    return std::shared_ptr<platform::UrlSessionDelegate>(self(), static_cast<platform::UrlSessionDelegate*>(this));
}

void Spojenie::naHlavnom(std::function<void(Spojenie&)> work) {
    auto screen = self();
    platform::DispatchQueue::main()->async([screen, work = std::move(work)] { work(*screen); });
}

bool Spojenie::animovat() const {
    auto& trekora = sharedTrekora();
    return trekora.nastaveniaItem && trekora.nastaveniaItem->ANIMOVAT_OKNA == "A";
}

void Spojenie::predstav(const std::shared_ptr<platform::ViewController>& alert) {
    present(alert, animovat());
}

void Spojenie::pop() {
    if (auto nav = navigationController()) nav->popViewController(animovat());
}

std::string Spojenie::casText() const {
    return platform::format("čas: %3.0f sec.", platform::Date::now().timeIntervalSince(startTime));
}

void Spojenie::zobrazKoniec(const std::string& title, const std::string& message, bool errorSound) {
    if (auto v = activityIndicator.lock()) v->setHidden(true);
    auto alert = AlertController::make(title, message, AlertController::Style::alert);
    auto weak = std::weak_ptr<Spojenie>(self());
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
        Console::print("You've pressed ok");
        if (auto s = weak.lock()) s->pop();
    }));
    if (errorSound) sharedTrekora().playSound5();
    if (presentedViewController()) dismiss(false);
    predstav(alert);
}

void Spojenie::zobrazHotovo() {
    zobrazKoniec("hotovo", casText());
}

void Spojenie::zobrazChybu(const std::string& reason) {
    zobrazKoniec("chyba!", reason + "\n" + casText(), true);
}

void Spojenie::ukazPriebeh() {
    if (auto v = progressView.lock()) v->setHidden(false);
    if (auto v = labelInfo.lock()) v->setHidden(false);
    if (auto v = activityIndicator.lock()) {
        v->setHidden(false);
        v->startAnimating();
    }
}

void Spojenie::nastavInfo(const std::string& text) {
    if (auto v = labelInfo.lock()) v->setText(text);
}

void Spojenie::nastavProgress(float value, bool animated) {
    if (auto v = progressView.lock()) v->setProgress(value, animated);
}
