#include "sync/Spojenie.h"

#include "core/BackgroundJobs.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
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
        opytajSa("importovať objednávky na závoz?", [](Spojenie& s) { s.importObjednavok(); });
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
    opytajSa("spustiť synchronizáciu ?", [](Spojenie& s) { s.synchronizacia(); });
}

namespace {

// An entry prompt of the screen: one text field set up by `field`; "storno"
// leaves the screen, "ok" hands the typed text to `ok`.
std::shared_ptr<AlertController> prompt(Spojenie& screen, const std::string& title, const std::string& message,
                                        std::function<void(platform::TextField&)> field,
                                        std::function<void(Spojenie&, const std::string& typed)> ok) {
    auto alert = AlertController::make(title, message, AlertController::Style::alert);
    alert->addTextField(std::move(field));
    auto weak = std::weak_ptr<Spojenie>(screen.self());
    std::weak_ptr<AlertController> weakAlert = alert;
    alert->addAction(std::make_shared<AlertAction>("storno", AlertAction::Style::cancel, [weak](AlertAction&) {
        Console::print("You've pressed cancel");
        if (auto s = weak.lock()) s->pop();
    }));
    alert->addAction(std::make_shared<AlertAction>(
        "ok", AlertAction::Style::defaultStyle, [weak, weakAlert, ok = std::move(ok)](AlertAction&) {
            Console::print("You've pressed ok");
            auto s = weak.lock();
            if (!s) return;
            std::string typed;
            if (auto a = weakAlert.lock(); a && !a->textFields().empty()) typed = a->textFields().front()->textOrEmpty();
            ok(*s, typed);
        }));
    return alert;
}

// The download prompt of the restore and of the update: the address in a
// text field the salesman may change.
std::shared_ptr<AlertController> downloadPrompt(Spojenie& screen, const std::string& title,
                                                const std::string& address) {
    return prompt(
        screen, title, "",
        [address](platform::TextField& field) {
            field.setKeyboardType(platform::KeyboardType::defaultType);
            field.setPlaceholder("");
            field.setTextAlignment(platform::TextAlignment::right);
            field.setText(address);
        },
        [title](Spojenie& s, const std::string& text) {
            s.zacniPriebeh(title);
            Console::print(text);
            s.stiahni(text);
        });
}

}  // namespace

void Spojenie::overPin() {
    const std::string challenge = sharedTrekora().getSystemChallenge();
    predstav(prompt(
        *this, "pin", challenge,
        [](platform::TextField& field) {
            field.setKeyboardType(platform::KeyboardType::numberPad);
            field.setText(std::string());
        },
        [challenge](Spojenie& s, const std::string& pin) {
            if (sharedTrekora().checkSystemPin(pin, challenge)) {
                const std::string segue = s.selectedMenuItem ? s.selectedMenuItem->segue : "";
                if (segue == "spojenie_aktualizacia_segue") s.aktualizacia();
                if (segue == "spojenie_obnova_segue") s.obnova();
            } else {
                s.zobrazChybnyPin();
            }
        }));
}

void Spojenie::zobrazChybnyPin() {
    zobrazKoniec("chybny pin!", "", true);
}

void Spojenie::obnova() {
    auto& trekora = sharedTrekora();
    const std::string dir = trekora.nastaveniaItem ? trekora.nastaveniaItem->BACKUP_PC_DIR : "";
    predstav(downloadPrompt(*this, "obnova", dir + "/trekora.db3"));
}

void Spojenie::aktualizacia() {
    // The server's date of the update is asked for first (the application
    // records it); the question waits on a background queue, never on the
    // main one, and the prompt follows when it has an answer. Meanwhile the
    // screen shows what it waits for.
    ukazPriebeh();
    nastavInfo("aktualizácia: pýtam sa servera");
    auto weak = std::weak_ptr<Spojenie>(self());
    auto job = sharedTrekora().jobs->begin();
    if (!job) return;
    platform::DispatchQueue::global(platform::DispatchQueue::QoS::Utility)->async([weak, job] {
        sharedTrekora().jePotrebnyUpade();
        sharedTrekora().jobs->onMain([weak] {
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
    // After the shared object has ended its jobs (the program is quitting)
    // nothing of theirs runs any more.
    sharedTrekora().jobs->onMain([screen = self(), work = std::move(work)] { work(*screen); });
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

void Spojenie::zacniPriebeh(const std::string& info) {
    ukazPriebeh();
    startTime = platform::Date::now();
    nastavProgress(0, false);
    nastavInfo(info);
}

void Spojenie::opytajSa(const std::string& question, std::function<void(Spojenie&)> ano) {
    auto alert = AlertController::make(question, "", AlertController::Style::alert);
    auto weak = std::weak_ptr<Spojenie>(self());
    alert->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel, [weak](AlertAction&) {
        Console::print("nie");
        if (auto s = weak.lock()) s->pop();
    }));
    alert->addAction(std::make_shared<AlertAction>(
        "áno", AlertAction::Style::defaultStyle, [weak, ano = std::move(ano)](AlertAction&) {
            Console::print("You've pressed ok");
            if (auto s = weak.lock()) ano(*s);
        }));
    predstav(alert);
}

void Spojenie::nastavInfo(const std::string& text) {
    if (auto v = labelInfo.lock()) v->setText(text);
}

void Spojenie::nastavProgress(float value, bool animated) {
    if (auto v = progressView.lock()) v->setProgress(value, animated);
}
