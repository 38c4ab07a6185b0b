#include "report/Preview.h"

#include "core/ServicePinPrompt.h"
#include "core/StringValue.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/WebView.h"
#include "records/NastaveniaItem.h"
#include "report/DataItem.h"

#include <array>

using platform::AlertAction;
using platform::AlertController;
using platform::Console;
using Command = FiskalCommand;
using Doklad = std::map<std::string, std::string>;

const char* const Preview::kNenajdeny = "<h1>nenájdený dataitem!</h1>";

namespace {

constexpr std::array<Preview::Mapping, 26> kMappings{{
    {"6", "fiskal_uhrada", Command::tlacUhraduFaktury, "fiskal_uhrada_kopia"},
    {"7", "fiskal_vklad", Command::tlacVklad, "fiskal_vklad_kopia"},
    {"8", "fiskal_vyber", Command::tlacVyber, "fiskal_vyber_kopia"},
    {"9", "hotovost", Command::tlacDoklad, "hotovost_kopia"},
    {"10", "hotovost", Command::tlacDoklad, "hotovost_kopia"},
    {"19", "prijemka", Command::tlacNefiskalnyDoklad, ""},
    {"20", "faktura", Command::tlacNefiskalnyDoklad, ""},
    {"21", "dobropis", Command::tlacNefiskalnyDoklad, ""},
    {"30", "dodaci", Command::tlacNefiskalnyDoklad, ""},
    {"31", "navratka", Command::tlacNefiskalnyDoklad, ""},
    {"40", "objednavka", Command::tlacNefiskalnyDoklad, ""},
    {"42", "gratis", Command::nerobNic, ""},
    {"90", "dennauzavierka", Command::tlacNefiskalnyDoklad, ""},
    {"91", "mesacnauzavierka", Command::nerobNic, ""},
    {"59", "prijemka_pos", Command::tlacNefiskalnyDoklad, ""},
    {"69", "prijemka_vzo", Command::tlacNefiskalnyDoklad, ""},
    {"43", "prijemka_kor", Command::tlacNefiskalnyDoklad, ""},
    {"50", "vydajka_pos", Command::tlacNefiskalnyDoklad, ""},
    {"60", "vydajka_vzo", Command::tlacNefiskalnyDoklad, ""},
    {"44", "vydajka_kor", Command::tlacNefiskalnyDoklad, ""},
    {"45", "prevodka_kor", Command::tlacNefiskalnyDoklad, ""},
    {"16", "preberaciprotokol", Command::tlacNefiskalnyDoklad, ""},
    {"17", "inventura", Command::tlacNefiskalnyDoklad, ""},
    {"47", "inventura_kor", Command::tlacNefiskalnyDoklad, ""},
    {"57", "inventura_pos", Command::tlacNefiskalnyDoklad, ""},
    {"67", "inventura_vzo", Command::tlacNefiskalnyDoklad, ""},
}};

std::string value(const Doklad& doklad, const std::string& key, const std::string& missing = "") {
    auto found = doklad.find(key);
    return found == doklad.end() ? missing : found->second;
}

bool isCash(const std::string& pohyb) {
    return pohyb == "6" || pohyb == "7" || pohyb == "8" || pohyb == "9" || pohyb == "10";
}

bool oneOf(const std::string& pohyb, std::initializer_list<const char*> codes) {
    for (const char* code : codes)
        if (pohyb == code) return true;
    return false;
}

std::string rowText(const Doklad& doklad) {
    std::string text = "[";
    for (const auto& [key, value] : doklad) text += (text.size() > 1 ? ", \"" : "\"") + key + "\": \"" + value + "\"";
    return text + "]";
}

std::string withoutMarkup(const std::string& text) {
    return text == Preview::kNenajdeny ? std::string("nenájdený dataitem!") : text;
}

}  // namespace

const Preview::Mapping* Preview::mapping(const std::string& pohyb) {
    for (const auto& entry : kMappings)
        if (pohyb == entry.pohyb) return &entry;
    return nullptr;
}

std::string Preview::page(const std::string& text) {
    return "<html><head><meta name='viewport' content='width=device-width, initial-scale=1, shrink-to-fit=yes'>"
           "</head><body style='font-family: courier;'><pre style='font-family: courier;'>" +
           escapeHtml(text) + "</pre></body></html>";
}

std::string Preview::errorPage(const std::string& reason) {
    return "<html><head><meta name='viewport' content='width=device-width, initial-scale=1, shrink-to-fit=yes'>"
           "</head><body style='font-family: courier;'><h1>" +
           escapeHtml(withoutMarkup(reason)) + "</h1></body></html>";
}

bool Preview::isFailure(const std::string& text) {
    return text.rfind("chyba!", 0) == 0 || text == kNenajdeny;
}

std::shared_ptr<Preview> Preview::self() { return std::static_pointer_cast<Preview>(shared_from_this()); }

bool Preview::animovat() {
    const auto& settings = sharedTrekora().nastaveniaItem;
    return settings && settings->ANIMOVAT_OKNA == "A";
}

void Preview::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    std::weak_ptr<Preview> weak = self();
    navigationItem().setRightBarButtonItems({std::make_shared<platform::BarButtonItem>(
        platform::Image::systemNamed("printer"), platform::BarButtonItem::Style::done,
        [weak](platform::BarButtonItem&) {
            if (auto screen = weak.lock()) screen->tlacTapped();
        })});
    setTitle(std::string("náhľad"));

    auto& trekora = sharedTrekora();
    const Doklad doklad = trekora.printingDoklad;
    Console::print(rowText(doklad));

    trekora.fiskalCommand = Command::nerobNic;
    trekora.fiskalCommandParameters.clear();
    trekora.fiskalTxt.clear();
    trekora.fiskalTxt2.clear();
    trekora.previewTxt.clear();

    const std::string pohyb = value(doklad, "POHYB");
    const std::string id = value(doklad, "ID");
    const std::string ctl = value(doklad, "CTL", "0");
    const Mapping* entry = doklad.count("POHYB") ? mapping(pohyb) : nullptr;
    Command command = entry ? entry->command : Command::nerobNic;
    auto definition = entry ? trekora.findDataItem(entry->definition) : nullptr;
    Console::print("helpDataItem");
    Console::print(definition ? definition->description() : std::string("nil"));

    std::string text;
    if (!definition) {
        text = kNenajdeny;
    } else {
        text = definition->getReport(id, ctl);
        if (isCash(pohyb)) {
            if (auto second = trekora.findDataItem2(definition->name)) {
                trekora.fiskalTxt2 = second->getReport(id, ctl);
                // A failed text for the second printer is no job for it.
                if (isFailure(trekora.fiskalTxt2)) trekora.fiskalTxt2.clear();
            }
        }
        auto shown = isCash(pohyb) ? trekora.findDataItem(entry->copy) : definition;
        trekora.previewTxt = shown ? shown->getReport(id, ctl) : kNenajdeny;
    }

    // The job carries the identity of the document shown: the fiscal
    // identifiers of its registration are written into this very row.
    trekora.printingId = id;
    Doklad parameters;
    if (!id.empty()) parameters["ID"] = id;
    if (doklad.count("CDOK")) parameters["CDOK"] = doklad.at("CDOK");
    if (doklad.count("ODSTRANKOVAT_DOKLAD")) parameters["ODSTRANKOVAT_DOKLAD"] = doklad.at("ODSTRANKOVAT_DOKLAD");

    if (isFailure(text)) {
        // Nothing to print: the reason is shown and heard instead.
        command = Command::nerobNic;
        trekora.fiskalTxt2.clear();
        trekora.playSound5();
    }
    trekora.fiskalCommand = command;
    trekora.fiskalCommandParameters = parameters;
    trekora.fiskalTxt = text;
    doklad_ = doklad;
    job_ = Job{command, parameters, text, trekora.fiskalTxt2};
    Console::print("??? helpTxt ??? ");
    Console::print(text);
    Console::print("??? helpTxt ??? ");
    showPage();
}

void Preview::showPage() {
    auto& trekora = sharedTrekora();
    auto web = webView.lock();
    if (!web) return;
    const std::string& shown = isFailure(trekora.fiskalTxt) ? trekora.fiskalTxt : trekora.previewTxt;
    web->loadHTMLString(isFailure(shown) ? errorPage(shown) : page(shown), std::nullopt);
}

void Preview::viewWillAppear(bool animated) {
    platform::ViewController::viewWillAppear(animated);
    Console::print(rowText(sharedTrekora().printingDoklad));
}

void Preview::zobrazVysledok(const std::string& vysledok) {
    auto alert = AlertController::make(ResultString::title(vysledok), ResultString::message(vysledok),
                                       AlertController::Style::alert);
    if (!ResultString::isSuccess(vysledok)) sharedTrekora().playSound5();
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [](AlertAction&) {
        Console::print("You've pressed ok");
    }));
    present(alert, animovat());
}

void Preview::pushTlac() {
    auto& trekora = sharedTrekora();
    Console::print("command=" + std::to_string(static_cast<int>(trekora.fiskalCommand)));
    Console::print(trekora.fiskalTxt);
    auto board = storyboard();
    if (!board) board = platform::Storyboard::named("Main");
    auto tlac = board->instantiateViewController("Tlac");
    if (!tlac) {
        trekora.log("Preview: screen Tlac is not in the storyboard");
        return;
    }
    if (auto nav = navigationController()) nav->pushViewController(tlac, animovat());
}

void Preview::tlacTapped() {
    Console::print("tlacTapped(_:) ...");
    auto& trekora = sharedTrekora();
    // The document shown; the shared row of it carries what a print has
    // written back into it since.
    const Doklad doklad =
        value(trekora.printingDoklad, "ID") == value(doklad_, "ID") ? trekora.printingDoklad : doklad_;
    const std::string pohyb = value(doklad, "POHYB");
    const std::string pardok = value(doklad, "PARDOK");
    Console::print(pohyb + " " + pardok);
    if (isCash(pohyb) && !pardok.empty()) {
        auto alert = AlertController::make("doklad uz bol vytlaceny cez ekasu!", "tlačiť kópiu?",
                                           AlertController::Style::alert);
        std::weak_ptr<Preview> weak = self();
        alert->addAction(std::make_shared<AlertAction>("áno", AlertAction::Style::defaultStyle,
                                                       [weak, doklad](AlertAction&) {
                                                           Console::print("You've pressed ok");
                                                           if (auto screen = weak.lock()) screen->tlacKopiu(doklad);
                                                       }));
        alert->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel, [](AlertAction&) {
            Console::print("You've pressed cancel");
        }));
        trekora.playSound5();
        present(alert, animovat());
        return;
    }
    if (job_.command == Command::nerobNic) return;
    trekora.printingId = value(doklad, "ID");
    trekora.fiskalCommand = job_.command;
    trekora.fiskalCommandParameters = job_.parameters;
    trekora.fiskalTxt = job_.txt;
    trekora.fiskalTxt2 = job_.txt2;
    pushTlac();
}

void Preview::tlacKopiu(const Doklad& doklad) {
    auto& trekora = sharedTrekora();
    trekora.fiskalCommand = Command::nerobNic;
    trekora.fiskalCommandParameters.clear();
    trekora.fiskalTxt.clear();
    trekora.fiskalTxt2.clear();

    const std::string pohyb = value(doklad, "POHYB");
    Command command = Command::nerobNic;
    Doklad parameters;
    std::string text;
    trekora.printingId = value(doklad, "ID");
    if (pohyb == "9" || pohyb == "10") {
        // The fiscal device prints the copy of its own receipt.
        command = Command::tlacKopiuDokladu;
        for (const char* key : {"ID", "CDOK", "PARDOK", "ODSTRANKOVAT_DOKLAD"})
            if (doklad.count(key)) parameters[key] = doklad.at(key);
    } else {
        const char* name = pohyb == "6" ? "fiskal_uhrada_kopia" : pohyb == "7" ? "fiskal_vklad_kopia"
                                                                               : "fiskal_vyber_kopia";
        auto definition = trekora.findDataItem(name);
        text = definition ? definition->getReport(value(doklad, "ID"), value(doklad, "CTL", "0")) : kNenajdeny;
        if (isFailure(text)) {
            trekora.playSound5();
            auto alert = AlertController::make("chyba!", withoutMarkup(text), AlertController::Style::alert);
            alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [](AlertAction&) {
                Console::print("You've pressed ok");
            }));
            present(alert, animovat());
            return;
        }
        command = Command::tlacNefiskalnyDoklad;
    }
    trekora.fiskalCommand = command;
    trekora.fiskalCommandParameters = parameters;
    trekora.fiskalTxt = text;
    trekora.fiskalTxt2 = text;
    pushTlac();
}

void Preview::akciaTapped() {
    Console::print("akciaTapped(_:) ...");
    auto& trekora = sharedTrekora();
    const Doklad doklad = trekora.printingDoklad;
    const std::string pohyb = value(doklad, "POHYB");
    const bool pardok = !value(doklad, "PARDOK").empty();
    Console::print(rowText(doklad));

    auto sheet = AlertController::make("akcia", "", AlertController::Style::actionSheet);
    std::weak_ptr<Preview> weak = self();
    auto add = [&](const std::string& title, AlertAction::Style style, std::function<void(Preview&)> run) {
        sheet->addAction(std::make_shared<AlertAction>(title, style, [weak, title, run](AlertAction&) {
            Console::print(title);
            if (auto screen = weak.lock()) run(*screen);
        }));
    };
    if ((pohyb == "10" && pardok) || oneOf(pohyb, {"20", "21", "30", "31", "44", "50", "60"})) {
        add("storno celého dokladu", AlertAction::Style::destructive, [doklad](Preview& screen) {
            screen.potvrdZapis(doklad, "storno celého dokladu", "áno, stornovať celý",
                               [](const std::string& id, const std::string& pohyb) {
                                   return sharedTrekora().stornoCelehoDokladu(id, pohyb);
                               });
        });
    }
    if (pohyb == "10" && pardok)
        add("storno duplicity vo fiskali", AlertAction::Style::defaultStyle,
            [doklad](Preview& screen) { screen.zamokFiskal(doklad); });
    if (oneOf(pohyb, {"20", "21", "30", "31"})) {
        add("preberací protokol", AlertAction::Style::defaultStyle, [doklad](Preview& screen) {
            screen.potvrdZapis(doklad, "preberací protokol", "áno, vytvor preberací protokol",
                               [](const std::string& id, const std::string& pohyb) {
                                   return sharedTrekora().vytvorPreberaciProtokol(id, pohyb);
                               });
        });
    }
    if (oneOf(pohyb, {"20", "21"}) && value(doklad, "CTL", "0") == "1") {
        add("uhrada faktury v hotovosti", AlertAction::Style::defaultStyle, [doklad](Preview& screen) {
            screen.potvrdZapis(doklad, "úhrada faktúry v hotovosti", "áno, vytvor úhradu faktúry v hotovosti",
                               [](const std::string& id, const std::string& pohyb) {
                                   return sharedTrekora().vytvorUhraduFaktury(id, pohyb);
                               });
        });
    }
    add("ekasa fix document", AlertAction::Style::defaultStyle, [](Preview& screen) { screen.fixDoklad(); });
    sheet->addAction(std::make_shared<AlertAction>("nerob nic", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("nerob nic");
    }));
    present(sheet, animovat());
}

void Preview::potvrdZapis(const Doklad& doklad, const std::string& title, const std::string& yes,
                          std::string (*operation)(const std::string&, const std::string&)) {
    auto sheet = AlertController::make(title, "", AlertController::Style::actionSheet);
    std::weak_ptr<Preview> weak = self();
    sheet->addAction(std::make_shared<AlertAction>(yes, AlertAction::Style::destructive,
                                                   [weak, doklad, operation](AlertAction&) {
        auto screen = weak.lock();
        if (!screen) return;
        const std::string id = value(doklad, "ID");
        const std::string pohyb = value(doklad, "POHYB");
        // Without the document's row id or movement code there is nothing to write.
        const std::string result = id.empty() || pohyb.empty()
                                       ? std::string("chyba!,,doklad nemá id alebo pohyb")
                                       : operation(id, pohyb);
        screen->zobrazVysledok(result);
    }));
    sheet->addAction(std::make_shared<AlertAction>("nie, nerob nič", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("nie, nerob nič");
    }));
    present(sheet, animovat());
}

void Preview::zamokFiskal(const Doklad& doklad) {
    std::weak_ptr<Preview> weak = self();
    ServicePinPrompt::present(*this, animovat(), [weak, doklad] {
        auto screen = weak.lock();
        if (!screen) return;
        screen->potvrdZapis(doklad, "storno duplicity vo fiškáli", "áno, stornovať duplicitu",
                            [](const std::string& id, const std::string& pohyb) {
                                return sharedTrekora().stornoFiskal(id, pohyb);
                            });
    });
}

void Preview::fixDoklad() {
    auto& trekora = sharedTrekora();
    trekora.fiskalCommand = Command::fixDoklad;
    trekora.fiskalCommandParameters.clear();
    trekora.fiskalTxt.clear();
    pushTlac();
}
