#include "fiscal/Ekasa.h"

#include "core/BackgroundJobs.h"
#include "core/OdoslaneCisla.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "core/ZaevidovaneDoklady.h"
#include "fiscal/EkasaDoklad.h"
#include "fiscal/EkasaJson.h"
#include "fiscal/EkasaNeiste.h"
#include "fiscal/EkasaReply.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "platform/Numbers.h"
#include "platform/Url.h"
#include "platform/UrlRequest.h"
#include "platform/UrlSession.h"
#include "platform/UrlSessionTask.h"

#include <algorithm>
#include <cmath>

using platform::Console;

namespace {

const char* const kRequest = "request(command:txt:parameters:)";

// The detail of a failed write-back ("chyba!,,detail").
std::string writeBackFailure(const std::string& result) {
    return "zapis fiskalnych udajov do dokladu zlyhal: " + ResultString::reason(result);
}

// The duplicate check's name in the log.
const std::string kOverDoklad = "overDoklad(semafor2:)";

// The write-back by number found the document holding another
// registration's identifiers and left them.
// Or it found another document holding the identifiers.
bool isConflict(const std::string& result) {
    return result.rfind("chyba!,," + Trekora::dokladMaInuRegistraciu, 0) == 0 ||
           result.rfind("chyba!,," + Trekora::udajePatriaInemuDokladu, 0) == 0;
}

// A span in whole minutes, rounded up, at least one.
std::string minutes(double seconds) {
    return std::to_string(std::max(1L, static_cast<long>(std::ceil(seconds / 60.0)))) + " min.";
}

std::string sequenceText(const std::optional<std::int64_t>& sequenceId) {
    return sequenceId ? platform::format("%lld", static_cast<long long>(*sequenceId)) : std::string("?");
}

// The refusal of a document the service holds already.
std::string uzVytlaceny(const std::optional<std::int64_t>& sequenceId) {
    return "doklad uz bol vytlaceny pod poradovym cislom " + sequenceText(sequenceId);
}

// Why nothing is registered while the list of uncertain registrations is
// damaged, and what to do.
std::string poskodenyZoznam(const EkasaNeiste::Zaznam& z, double remaining) {
    const std::string file = sharedTrekora().neisteFileName;
    if (z.odlozeny.empty())
        return "zoznam odosielaných dokladov " + file +
               " je poškodený a nedá sa odložiť: doklady sa cez fiškálnu službu neodošlú, kým ho servis neodstráni";
    return "zoznam odosielaných dokladov " + file + " bol poškodený (odložený ako " + z.odlozeny +
           "): doklad odoslaný pred poškodením už môže byť zaevidovaný vo fiškálnej službe; skúste tlač znova o " +
           minutes(remaining);
}

// A receipt reference as numbers: its year and month (0 when it names
// none) and the service's sequence number.
struct Poradie {
    int rok = 0, mesiac = 0;
    std::int64_t cislo = 0;
};
std::optional<Poradie> poradie(const std::string& pardok) {
    const auto cut = EkasaJson::cutPardok(pardok);
    if (!cut || cut->sequenceId.size() > 18) return std::nullopt;
    Poradie p{std::stoi(cut->year), std::stoi(cut->month), std::stoll(cut->sequenceId)};
    if (p.rok == 0 || p.mesiac < 1 || p.mesiac > 12) p.rok = p.mesiac = 0;
    return p;
}

// How many months back from the service's last document a look-up goes.
constexpr int kMesiacov = 24;

// A sequence number with its month, as the print tells it ("5 z 12/2026").
std::string vMesiaci(const std::string& cislo, const std::string& mesiac, const std::string& rok) {
    return cislo + " z " + mesiac + "/" + rok;
}

// Whether `d` is the service's document that the mark saw last before its
// own registration left. Its number and sequence number alone may come
// again in a later month; the month tells (a mark made before it was kept
// goes by them alone).
bool predZnackou(const EkasaNeiste::Zaznam& z, const std::optional<EkasaDoklad>& d) {
    return z.predtym == EkasaDoklad::podpis(d) && (!d || z.predtymPardok.empty() || z.predtymPardok == d->pardok());
}

// Whether no document of the service can lie between the one the mark saw
// last before it and `last`: `last` is the next sequence number of the same
// month, or the service held nothing and `last` is the first it numbered.
// Only then can `last` carrying the marked number be no other registration
// of it than the marked document's own.
bool hnedZaZnackou(const EkasaNeiste::Zaznam& z, const EkasaDoklad& last) {
    if (!last.sequenceId) return false;
    if (z.predtym.empty()) return *last.sequenceId == 1;
    const auto pred = poradie(z.predtymPardok);
    const auto posledny = poradie(last.pardok());
    return pred && posledny && pred->rok && pred->rok == posledny->rok && pred->mesiac == posledny->mesiac &&
           posledny->cislo == pred->cislo + 1;
}

// The registration a record of the service holds, as the device records it.
ZaevidovaneDoklady::Registracia registracia(const EkasaDoklad& d) {
    ZaevidovaneDoklady::Registracia r;
    r.cdok = d.externalId.value_or("");
    r.uid = d.uuid.value_or("");
    r.okp = d.okp.value_or("");
    r.pardok = d.pardok();
    r.datumVytvor = d.datumVytvor().value_or("");
    r.datumVystav = d.datumVystav().value_or("");
    r.datumEvid = d.datumEvid().value_or("");
    return r;
}

std::optional<std::string> unlessEmpty(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

// What follows a record that cannot be read where a registration would leave.
const char* const kNeodosle = ": doklad sa neodošle; obráťte sa na servis";

// The registrations this device made; none (why, in `why`) when the record
// cannot be read. A damaged record kept aside is told in `poznamka`.
std::optional<std::vector<ZaevidovaneDoklady::Registracia>> zaevidovane(std::string& why, std::string& poznamka) {
    auto& trekora = sharedTrekora();
    std::string hlasenie;
    auto list = ZaevidovaneDoklady(trekora.getDocumentsDirectory()).zoznam(&hlasenie);
    if (hlasenie.empty()) return list;
    trekora.log("zaznam zaevidovanych dokladov: " + hlasenie);
    if (list) poznamka = "záznam zaevidovaných dokladov " + hlasenie;
    else why = "záznam zaevidovaných dokladov " + hlasenie;
    return list;
}

// Whether the number never left the device: it lies above the record of
// the numbers that left. Of a number that left, or when the record cannot
// tell, the device cannot say so.
bool neodisiel(const std::string& number) {
    const auto cislo = OdoslaneCisla::cislo(number);
    const auto posledne = OdoslaneCisla(sharedTrekora().getDocumentsDirectory()).posledne();
    return cislo && posledne && *cislo > *posledne;
}

// The note when the document of the service's last document's number holds
// another registration, which stays.
std::string inaRegistracia(const EkasaDoklad& last) {
    return Trekora::dokladMaInuRegistraciu + ": č. " + last.externalId.value_or("") +
           "; fiškálna služba ho hlási s pardok " + last.pardok() + ", uid " + last.uuid.value_or("");
}

// What the device knows of the service's last document `last`, which
// neither the document of its number, nor a record, nor a mark of this
// device holds, and which is not written anywhere.
std::string cudziPosledny(const EkasaDoklad& last) {
    const std::string& number = *last.externalId;
    if (neodisiel(number))
        return "posledný doklad fiškálnej služby č. " + number + " (poradové číslo " + sequenceText(last.sequenceId) +
               ") z tohto zariadenia neodišiel: nič sa doň nezapísalo";
    return "o poslednom doklade fiškálnej služby č. " + number + " (poradové číslo " + sequenceText(last.sequenceId) +
           ") toto zariadenie nemá záznam, že ho zaevidovalo: nič sa doň nezapísalo";
}

}  // namespace

const std::string Ekasa::defaultPrinterAddress = "192.168.1.100";

std::string Ekasa::uncertainMessage(double secondsLeft) {
    return "doklad už môže byť zaevidovaný vo fiškálnej službe: skúste ho vytlačiť znova o " + minutes(secondsLeft);
}

Ekasa::Ekasa(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port, std::string wifiResponse)
    : Fiskal(std::move(delegate), std::move(host), port, std::move(wifiResponse)) {
    ekasaApiUrl = "http://" + this->host + ":" + std::to_string(this->port) + "/api";
}

std::shared_ptr<Ekasa> Ekasa::self() { return std::static_pointer_cast<Ekasa>(shared_from_this()); }

bool Ekasa::registers(Command command) {
    return command == Command::tlacDoklad || command == Command::tlacVklad || command == Command::tlacVyber ||
           command == Command::tlacUhraduFaktury;
}

void Ekasa::request(Command command, const std::string& txt, const std::map<std::string, std::string>& parameters) {
    auto& trekora = sharedTrekora();
    trekora.log(platform::format("<Ekasa: %p> ", static_cast<void*>(this)) + kRequest + " " + commandName(command));
    beginRun(command, txt, parameters, Tag::status);
    totalSteps = 2;
    auto it = parameters.find("ID");
    documentId_ = it == parameters.end() ? std::string() : it->second;
    lastSeen_.reset();
    poznamka_.clear();

    if (!registers(command)) {
        send();
        return;
    }
    // A document is registered only where its identifiers can be written,
    // and only under its number, which tells the service's answer about it
    // from one about another document.
    if (documentId_.empty() || cdok.empty()) {
        fiskalError = documentId_.empty() ? "chýba id dokladu: fiškálne údaje by nebolo kam zapísať"
                                          : "chýba číslo dokladu: odpoveď fiškálnej služby by nebolo s čím porovnať";
        trekora.log(fiskalError);
        response();
        return;
    }
    if (zaznamenany()) {
        trekora.log(fiskalError);
        response();
        return;
    }
    // The checks run one after the other on the URL session's queue; the
    // caller's thread never waits for them.
    auto me = self();
    zapisZnak([me] {
        if (!me->fiskalError.empty()) {
            sharedTrekora().log(me->fiskalError);
            me->response();
            return;
        }
        me->overDoklad([me] {
            if (!me->fiskalError.empty()) {
                sharedTrekora().log(me->fiskalError);
                me->response();
                return;
            }
            me->send();
        });
    });
}

bool Ekasa::post(const std::string& url, const std::string& body, const std::string& errorPrefix,
                 Completion completion) {
    auto address = platform::Url::parse(url);
    if (!address || address->host().empty()) {
        fiskalError = errorPrefix + "neplatna adresa fiskalu: " + url;
        return false;
    }
    platform::UrlRequest request(*address, requestTimeout);
    request.httpMethod = "POST";
    request.setValue(platform::format("%lu", static_cast<unsigned long>(body.size())), "Content-Length");
    request.setValue("application/json", "Content-Type");
    request.setValue("utf-8", "Accept-Charset");
    request.httpBody = body;
    // The answer is handled with the shared object: it waits for the answer
    // (within the bound of its jobs) before it goes, rather than cancel a
    // registration midway.
    auto job = sharedTrekora().jobs->begin();
    if (!job) {
        fiskalError = errorPrefix + "program sa ukončuje";
        return false;
    }
    // The time-out counts idle time only; a service that keeps sending a
    // byte now and then is stopped by the overall deadline.
    platform::UrlSessionConfiguration configuration;
    configuration.timeoutIntervalForRequest = requestTimeout;
    configuration.timeoutIntervalForResource = requestTimeout + deadlineMargin;
    auto session = platform::UrlSession::make(configuration);
    session
        ->dataTask(request,
                   [job, completion = std::move(completion)](std::optional<std::string> data,
                                                             std::shared_ptr<platform::HttpUrlResponse> response,
                                                             std::optional<platform::Error> error) {
                       completion(std::move(data), std::move(response), std::move(error));
                   })
        ->resume();
    session->finishTasksAndInvalidate();
    return true;
}

void Ekasa::zapisZnak(std::function<void()> next) {
    auto& trekora = sharedTrekora();
    const std::string url = ekasaApiUrl + "/print";
    const std::string body = EkasaJson::printData("", printerAddress);
    trekora.log("zapisZnak(semafor:) url: " + url);
    trekora.log("zapisZnak(semafor:) jsonString: " + body);
    auto me = self();
    bool sent = post(url, body, "ekasa zapisZnak ", [me, next](auto data, auto response, auto error) {
        auto reply = EkasaReply::judge(data, response, error, EkasaReply::zapisZnakTexts());
        if (reply.ok()) sharedTrekora().log("ekasa zapisZnak OK");
        else me->fiskalError = reply.error;
        next();
    });
    if (!sent) next();
}

void Ekasa::overDoklad(std::function<void()> next) {
    auto& trekora = sharedTrekora();
    const std::string url = ekasaApiUrl + "/document/get";
    trekora.log(kOverDoklad + " url: " + url);
    trekora.log(kOverDoklad + " jsonString: {}");
    auto me = self();
    bool sent = post(url, "{}", "ekasa overDoklad ", [me, next](auto data, auto response, auto error) {
        auto reply = EkasaReply::judge(data, response, error, EkasaReply::overDokladTexts());
        if (!reply.ok()) {
            me->fiskalError = reply.error;
            next();
            return;
        }
        auto& trekora = sharedTrekora();
        me->lastSeen_ = EkasaDoklad::fromReply(reply.object);
        EkasaDoklad last = me->lastSeen_.value_or(EkasaDoklad{});
        std::optional<std::string> current;
        if (auto it = me->fiskalCommandParameters.find("CDOK"); it != me->fiskalCommandParameters.end())
            current = it->second;
        const std::string& name = kOverDoklad;
        trekora.log(name + " current_cdok: " + EkasaDoklad::shown(current));
        trekora.log(name + " last_cdok: " + EkasaDoklad::shown(last.externalId));
        trekora.log(name + " last_uid: " + EkasaDoklad::shown(last.uuid));
        trekora.log(name + " last_okp: " + EkasaDoklad::shown(last.okp));
        trekora.log(name + " last_sequenceId: " + EkasaDoklad::shown(last.sequenceId));
        trekora.log(name + " last_createDate: " + EkasaDoklad::shown(last.createDate));
        trekora.log(name + " last_issueDate: " + EkasaDoklad::shown(last.issueDate));
        trekora.log(name + " last_processDate: " + EkasaDoklad::shown(last.processDate));
        trekora.log(name + " last_pardok(rok + mesiac z createDate + sequenceId): " +
                    EkasaDoklad::shown(std::optional<std::string>(last.pardok())));
        trekora.log(name + " last_datumVytvor(last_createDate): " + EkasaDoklad::shown(last.datumVytvor()));
        trekora.log(name + " last_datumVystav(last_issueDate): " + EkasaDoklad::shown(last.datumVystav()));
        trekora.log(name + " last_datumEvid(last_processDate): " + EkasaDoklad::shown(last.datumEvid()));
        auto neiste = std::make_shared<std::vector<EkasaNeiste::Zaznam>>(EkasaNeiste::zoznam());
        if (last.externalId && !me->zapisPosledny(last, *neiste)) {
            next();
            return;
        }
        me->posudNeiste(neiste, 0, next);
    });
    if (!sent) next();
}

bool Ekasa::zaznamenany() {
    auto& trekora = sharedTrekora();
    std::string why;
    const auto list = zaevidovane(why, poznamka_);
    if (!list) {
        fiskalError = why + kNeodosle;
        return true;
    }
    const auto r = ZaevidovaneDoklady::najdi(*list, cdok);
    if (!r) return false;
    // Registered by this device: the document takes its identifiers back
    // where it lost them, and nothing is sent.
    const auto result = trekora.updateDokladByCdok(unlessEmpty(r->uid), unlessEmpty(r->okp), unlessEmpty(r->datumVytvor),
                                                   unlessEmpty(r->datumVystav), unlessEmpty(r->datumEvid),
                                                   unlessEmpty(r->pardok), cdok);
    const auto p = poradie(r->pardok);
    fiskalError = uzVytlaceny(p ? std::optional<std::int64_t>(p->cislo) : std::nullopt);
    if (isConflict(result)) poznamka_ = ResultString::reason(result);
    else if (!ResultString::isSuccess(result)) fiskalError += "; " + writeBackFailure(result);
    return true;
}

bool Ekasa::zapisUdaje(const EkasaDoklad& record, const std::string& number) {
    const auto result = sharedTrekora().updateDokladByCdok(record.uuid, record.okp, record.datumVytvor(),
                                                           record.datumVystav(), record.datumEvid(), record.pardok(),
                                                           number);
    if (isConflict(result)) {
        // That document keeps its own identifiers, and the print tells of it.
        poznamka_ = ResultString::reason(result);
        sharedTrekora().log(kOverDoklad + " " + poznamka_);
    } else if (!ResultString::isSuccess(result)) {
        fiskalError = "ekasa overDoklad " + writeBackFailure(result);
        return false;
    }
    return true;
}

bool Ekasa::zapisPosledny(const EkasaDoklad& last, std::vector<EkasaNeiste::Zaznam>& neiste) {
    auto& trekora = sharedTrekora();
    const std::string& name = kOverDoklad;
    const std::string& number = *last.externalId;
    const bool tento = number == cdok;
    std::string why;
    const auto list = zaevidovane(why, poznamka_);
    if (!list) {
        fiskalError = "ekasa overDoklad " + why + kNeodosle;
        return false;
    }
    // The service's registration is written back only onto a document that
    // this device sent: one the record of its registrations holds with it,
    // or one marked uncertain, whose answer it missed. While the list was
    // damaged, any document may be one. A mark tells the number only, which
    // another registrant may have used after it: the last document is the
    // marked one's own only when no other document can lie between the mark
    // and it. Otherwise the look-up after the window weighs it among the
    // documents after the mark, and the print waits for it.
    const auto zaznam = ZaevidovaneDoklady::najdi(*list, number);
    const auto znacka = std::find_if(neiste.begin(), neiste.end(),
                                     [&](const auto& z) { return EkasaNeiste::oznacuje(z, number, ""); });
    const bool odoslany = (zaznam && zaznam->rovnaka(registracia(last))) ||
                          (znacka != neiste.end() && hnedZaZnackou(*znacka, last)) ||
                          std::any_of(neiste.begin(), neiste.end(), [](const auto& z) { return z.neznamy; });
    if (!odoslany && znacka != neiste.end() && !predZnackou(*znacka, last)) {
        trekora.log(name + " posledny doklad nesie cislo neisteho dokladu " + number +
                    ", ale medzi nim a znackou mohli byt ine doklady: overi sa podla poradovych cisel");
        return true;
    }
    if (odoslany) {
        // Also when it is the current one and its printing is refused below.
        if (!zapisUdaje(last, number)) return false;
        for (const auto& z : neiste)
            if (EkasaNeiste::oznacuje(z, number, "")) {
                EkasaNeiste::odober(z);
                trekora.log(name + " neisty doklad " + z.cdok + " je vo fiskali");
            }
        std::erase_if(neiste, [&](const auto& z) { return EkasaNeiste::oznacuje(z, number, ""); });
    } else {
        // Not sent from here (or its identifiers are written already): the
        // local document of that number is never given them.
        std::string reason;
        const auto held = trekora.fiskalneUdajeDokladu(number, last.uuid, last.pardok(), &reason);
        using U = Trekora::FiskalneUdaje;
        if (held == U::neprecitane) {
            fiskalError = "ekasa overDoklad fiškálne údaje dokladu č. " + number + " sa nedajú prečítať: " + reason;
            return false;
        }
        if (tento && held != U::tieto) {
            // "Did not leave" is said only of a number that never left.
            fiskalError = "číslo dokladu " + number + " už vo fiškálnej službe patrí " +
                          (neodisiel(number) ? "inému dokladu (poradové číslo " + sequenceText(last.sequenceId) +
                                                   "), ktorý z tohto zariadenia neodišiel"
                                             : "registrácii s poradovým číslom " + sequenceText(last.sequenceId) +
                                                   ", o ktorej toto zariadenie nemá záznam") +
                          ": doklad sa neodošle a nič sa doň nezapísalo; obráťte sa na servis";
            trekora.log(name + " " + fiskalError);
            return false;
        }
        if (held == U::ine)
            poznamka_ = inaRegistracia(last);
        else if (held == U::ziadne)
            poznamka_ = cudziPosledny(last);
        if (!poznamka_.empty()) trekora.log(name + " " + poznamka_);
    }
    if (tento) {
        fiskalError = uzVytlaceny(last.sequenceId);
        return false;
    }
    return true;
}

void Ekasa::posudNeiste(std::shared_ptr<std::vector<EkasaNeiste::Zaznam>> neiste, std::size_t od,
                        std::function<void()> next) {
    auto& trekora = sharedTrekora();
    const std::string& name = kOverDoklad;
    const double now = platform::Clock::now().timeIntervalSince1970();
    for (std::size_t i = od; i < neiste->size(); ++i) {
        auto& z = (*neiste)[i];
        const bool tento = EkasaNeiste::oznacuje(z, cdok, documentId_);
        double elapsed = now - z.od;
        if (elapsed < 0) {
            // A mark ahead of the clock (the clock set back, another time
            // zone) is never taken for an old one: its window starts now.
            z.od = now;
            elapsed = 0;
            if (!EkasaNeiste::pridaj(z)) trekora.log(name + " cas neisteho dokladu sa nepodarilo zapisat");
        }
        if (elapsed < uncertainBound) {
            // Another registration now would hide this one from the check.
            const double left = uncertainBound - elapsed;
            fiskalError = z.neznamy ? poskodenyZoznam(z, left)
                          : tento   ? uncertainMessage(left)
                                    : "predchádzajúci doklad č. " + z.cdok +
                                        " už môže byť zaevidovaný vo fiškálnej službe: skúste tlač znova o " +
                                        minutes(left);
            next();
            return;
        }
        if (z.neznamy) {
            // Whatever was on its way when the list was damaged has
            // landed by now or never will, and no registration left
            // meanwhile: the service's last document, written back
            // above, is the one it would have been.
            EkasaNeiste::odober(z);
            trekora.log(name + " okno poskodeneho zoznamu (" + z.odlozeny + ") uplynulo");
            continue;
        }
        // The service shows the same last document: nothing came after it.
        if (predZnackou(z, lastSeen_)) {
            EkasaNeiste::odober(z);
            trekora.log(name + " neisty doklad " + z.cdok + " nie je vo fiskali");
            continue;
        }
        // The service registered other documents meanwhile (another device,
        // a receipt keyed on its printer): they tell whether it is among them.
        auto me = self();
        dohladaj(z, [me, neiste, i, tento, next](Zistenie d) {
            auto& trekora = sharedTrekora();
            const auto& z = (*neiste)[i];
            const std::string& name = kOverDoklad;
            using V = Zistenie::Vysledok;
            switch (d.vysledok) {
                case V::zaevidovany: {
                    const EkasaDoklad& r = d.doklad;
                    if (!me->zapisUdaje(r, z.cdok)) {
                        next();
                        return;
                    }
                    EkasaNeiste::odober(z);
                    trekora.log(name + " neisty doklad " + z.cdok + " je vo fiskali pod poradovym cislom " +
                                sequenceText(r.sequenceId));
                    if (tento) {
                        me->fiskalError = uzVytlaceny(r.sequenceId);
                        next();
                        return;
                    }
                    break;
                }
                case V::nezaevidovany:
                    EkasaNeiste::odober(z);
                    trekora.log(name + " neisty doklad " + z.cdok + " nie je vo fiskali");
                    break;
                case V::neurcene:
                    trekora.log(name + " neisty doklad " + z.cdok + " sa nedá overiť: " + d.dovod);
                    if (tento) {
                        me->fiskalError = "registráciu dokladu nemožno overiť (" + d.dovod +
                                          "): doklad sa znova neodošle; obráťte sa na servis";
                        next();
                        return;
                    }
                    break;
                case V::chyba:
                    me->fiskalError = d.dovod;
                    next();
                    return;
            }
            me->posudNeiste(neiste, i + 1, next);
        });
        return;
    }
    trekora.log("ekasa overDoklad OK");
    next();
}

struct Ekasa::Hladanie {
    std::string cdok;  // the number looked for
    // The months (year, month) the document may be of, oldest first, and
    // the one asked in now. The service numbers each month from 1.
    std::vector<std::pair<int, int>> mesiace;
    std::size_t mesiac = 0;
    std::int64_t cislo = 0;   // the sequence number asked next in that month
    std::int64_t koniec = 0;  // the service's last document's, in the last month: not asked
    // The documents found carrying the number; the service's last one
    // (not asked) is among them when it carries it.
    std::vector<EkasaDoklad> najdene;
    std::optional<EkasaDoklad> posledny;
};

void Ekasa::dohladaj(const EkasaNeiste::Zaznam& zaznam, std::function<void(Zistenie)> done) {
    const auto neurcene = [&done](const std::string& dovod) {
        done({Zistenie::Vysledok::neurcene, {}, dovod});
    };
    // The document before the mark: none (the service held nothing), or
    // one whose receipt reference the mark keeps.
    std::optional<Poradie> pred;
    if (!zaznam.predtym.empty()) {
        pred = poradie(zaznam.predtymPardok);
        if (!pred) return neurcene("predchádzajúci doklad fiškálnej služby nemá známe poradové číslo");
        if (!pred->rok) return neurcene("predchádzajúci doklad fiškálnej služby nemá dátum");
    }
    if (!lastSeen_ || !lastSeen_->sequenceId) return neurcene("posledný doklad fiškálnej služby nemá poradové číslo");
    const auto last = poradie(lastSeen_->pardok());
    if (!last || !last->rok) return neurcene("posledný doklad fiškálnej služby nemá dátum");
    // The service numbers each month from 1: its numbers go on from the
    // document before the mark only within that document's month. The
    // document may be of any month from that one to the last one's (of the
    // two years before the last one, when the service held nothing).
    const int to = last->rok * 12 + last->mesiac - 1;
    int from = to - (kMesiacov - 1);
    std::int64_t prve = 1;
    if (pred) {
        const int m = pred->rok * 12 + pred->mesiac - 1;
        if (m > to || (m == to && last->cislo <= pred->cislo))
            return neurcene("poradové čísla fiškálnej služby nepokračujú od predchádzajúceho dokladu");
        if (m >= from) {
            from = m;
            prve = pred->cislo + 1;
        }
    }
    auto h = std::make_shared<Hladanie>();
    h->cdok = zaznam.cdok;
    h->cislo = prve;
    h->koniec = last->cislo;
    if (lastSeen_->externalId == zaznam.cdok) h->posledny = lastSeen_;
    for (int m = from; m <= to; ++m) h->mesiace.emplace_back(m / 12, m % 12 + 1);
    dohladajDalsi(h, std::move(done));
}

void Ekasa::dohladajDalsi(std::shared_ptr<Hladanie> h, std::function<void(Zistenie)> done) {
    using V = Zistenie::Vysledok;
    const bool posledny = h->mesiac + 1 == h->mesiace.size();
    if (posledny && h->cislo >= h->koniec) {
        // Every document after the mark was asked for.
        if (h->posledny) h->najdene.push_back(*h->posledny);
        if (h->najdene.empty()) return done({V::nezaevidovany, {}, {}});
        if (h->najdene.size() == 1) return done({V::zaevidovany, h->najdene.front(), {}});
        std::string cisla;
        for (const auto& d : h->najdene)
            cisla += (cisla.empty() ? "" : ", ") + vMesiaci(sequenceText(d.sequenceId), d.mesiac(), d.rok());
        return done({V::neurcene, {},
                     "číslo dokladu " + h->cdok + " nesú viaceré doklady fiškálnej služby s poradovými číslami " +
                         cisla + ", nedá sa určiť, ktorý z nich je tento; nič sa nezapísalo"});
    }
    const std::string sequenceId = platform::format("%05lld", static_cast<long long>(h->cislo));
    const std::string month = platform::format("%02d", h->mesiace[h->mesiac].second);
    const std::string year = platform::format("%04d", h->mesiace[h->mesiac].first);
    const std::string url = ekasaApiUrl + "/document/get";
    const std::string body = EkasaJson::documentBySequenceId(sequenceId, month, year, printerAddress);
    sharedTrekora().log(kOverDoklad + " url: " + url);
    sharedTrekora().log(kOverDoklad + " jsonString: " + body);
    auto me = self();
    auto answered = [me, h, done, posledny, month, year](auto data, auto response, auto error) {
        auto reply = EkasaReply::judge(data, response, error, EkasaReply::overDokladTexts());
        auto found = reply.ok() ? EkasaDoklad::fromReply(reply.object) : std::nullopt;
        const std::string asked = vMesiaci(std::to_string(h->cislo), month, year);
        if (!found && (reply.ok() || reply.failure == EkasaReply::Failure::errorReply)) {
            // The month ends before this number; the last one's month
            // must reach the last document.
            if (posledny)
                return done({V::neurcene, {}, "doklad s poradovým číslom " + asked + " fiškálna služba nenašla"});
            ++h->mesiac;
            h->cislo = 1;
            return me->dohladajDalsi(h, done);
        }
        if (!found) return done({V::chyba, {}, reply.error});
        // Only the document asked for tells anything of it.
        if (found->sequenceId != h->cislo || found->mesiac() != month || found->rok() != year)
            return done({V::neurcene, {},
                         "fiškálna služba na otázku po doklade s poradovým číslom " + asked +
                             " odpovedala dokladom s poradovým číslom " +
                             vMesiaci(sequenceText(found->sequenceId), found->mesiac(), found->rok())});
        // Another registration may carry the number too: every document
        // up to the last one is asked.
        if (found->externalId == h->cdok) h->najdene.push_back(*found);
        ++h->cislo;
        me->dohladajDalsi(h, done);
    };
    if (!post(url, body, "ekasa overDoklad ", std::move(answered))) done({V::chyba, {}, fiskalError});
}

void Ekasa::send() {
    using C = Command;
    std::string path;
    std::string body;
    switch (fiskalCommand) {
        case C::tlacDoklad:
            path = "/document/store";
            body = EkasaJson::receiptBody(txt);
            break;
        case C::tlacVklad:
        case C::tlacVyber:
            path = "/cash";
            body = EkasaJson::unquote(txt);
            break;
        case C::tlacKopiuPoslednehoDokladu:
            path = "/document/get";
            body = EkasaJson::lastDocument(printerAddress);
            break;
        case C::tlacNefiskalnyDoklad:
            path = "/print";
            body = EkasaJson::printData(txt, printerAddress);
            break;
        case C::tlacKopiuDokladu: {
            path = "/document/get";
            auto it = fiskalCommandParameters.find("PARDOK");
            std::string pardok = it == fiskalCommandParameters.end() ? std::string() : it->second;
            auto cut = EkasaJson::cutPardok(pardok);
            if (!cut) fiskalError = "neplatne fiskalne cislo dokladu (PARDOK): '" + pardok + "'";
            else body = EkasaJson::documentBySequenceId(cut->sequenceId, cut->month, cut->year, printerAddress);
            break;
        }
        case C::aktualizujPolohu:
            path = "/location/update";
            body = EkasaJson::otherLocation(txt, printerAddress);
            break;
        case C::fixDoklad:
            path = "/document/update";
            body = EkasaJson::fixDocument();
            break;
        case C::tlacUhraduFaktury:
            path = "/document/store";
            body = EkasaJson::unquote(txt);
            break;
        case C::nastavPredajcu:
            path = "/merchant/store";
            body = txt;
            break;
        default:
            fiskalError = "nepodporovaná funkcia!";
    }
    if (fiskalCommand == C::fixDoklad || fiskalCommand == C::tlacKopiuDokladu) Console::print(body);
    auto& trekora = sharedTrekora();
    if (!fiskalError.empty()) {
        trekora.log(fiskalError);
        response();
        return;
    }
    const std::string url = ekasaApiUrl + path;
    trekora.log(std::string(kRequest) + " url: " + url);
    trekora.log(std::string(kRequest) + " jsonString: " + body);
    Console::print("======requestData======");
    Console::print(std::to_string(body.size()) + " bytes");
    Console::print("============");
    // The number is recorded among those that left the device, and the
    // mark that the registration is on its way is on the disk, before it
    // leaves: a database that starts again never gives the number to
    // another document, and a program killed while it waits leaves the
    // document uncertain, never free to be sent a second time.
    if (registers(fiskalCommand))
        if (auto failure = OdoslaneCisla(trekora.getDocumentsDirectory(), trekora.dbURL).zaznamenaj(cdok)) {
            fiskalError = "číslo dokladu " + cdok + " sa nepodarilo zaznamenať medzi odoslané (" + *failure +
                          "): doklad sa neodoslal; skúste tlač znova, a ak sa to opakuje, obráťte sa na servis";
            trekora.log(fiskalError);
            response();
            return;
        }
    const EkasaNeiste::Zaznam zaznam = neisty(platform::Clock::now().timeIntervalSince1970());
    if (registers(fiskalCommand) && !EkasaNeiste::pridaj(zaznam)) {
        fiskalError = "záznam o odosielanom doklade sa nepodarilo zapísať: doklad sa neodoslal";
        trekora.log(fiskalError);
        response();
        return;
    }
    auto me = self();
    if (!post(url, body, "", [me](auto data, auto response, auto error) { me->handleReply(data, response, error); })) {
        if (registers(fiskalCommand)) EkasaNeiste::odober(zaznam);
        trekora.log(fiskalError);
        response();
    }
}

EkasaNeiste::Zaznam Ekasa::neisty(double od) const {
    EkasaNeiste::Zaznam z;
    z.cdok = cdok;
    z.id = documentId_;
    z.od = od;
    z.predtym = EkasaDoklad::podpis(lastSeen_);
    if (lastSeen_) z.predtymPardok = lastSeen_->pardok();
    return z;
}

void Ekasa::leaveUncertain(const std::string& why) {
    const EkasaNeiste::Zaznam zaznam = neisty(platform::Clock::now().timeIntervalSince1970());
    if (!EkasaNeiste::pridaj(zaznam)) sharedTrekora().log("neisty doklad " + cdok + " sa nepodarilo zapisat");
    fiskalError = why;
    response();
}

void Ekasa::handleReply(const std::optional<std::string>& data,
                        const std::shared_ptr<platform::HttpUrlResponse>& response,
                        const std::optional<platform::Error>& error) {
    auto reply = EkasaReply::judge(data, response, error, EkasaReply::requestTexts());
    if (registers(fiskalCommand)) {
        settle(reply);
        return;
    }
    if (!reply.ok()) {
        fiskalError = reply.error;
        this->response();
        return;
    }
    if (auto found = EkasaDoklad::fromReply(reply.object)) {
        logRecord(*found);
        if (fiskalCommand == Command::tlacKopiuPoslednehoDokladu && found->externalId) zapisKopiu(*found);
    }
    fiskalData.assign(reply.body.begin(), reply.body.end());
    this->response();
}

void Ekasa::zapisKopiu(const EkasaDoklad& last) {
    auto& trekora = sharedTrekora();
    const std::string& number = *last.externalId;
    // The document itself first: one that holds this very registration is
    // this device's own (the record of registrations lets it go once a
    // backup holding it reached the office), and nothing is to be written
    // or told.
    std::string reason;
    const auto held = trekora.fiskalneUdajeDokladu(number, last.uuid, last.pardok(), &reason);
    if (held == Trekora::FiskalneUdaje::tieto) return;
    // Written back only onto a document this device sent: the record of its
    // registrations holds this one, or the document is marked uncertain and
    // no other document can lie between its mark and this one.
    std::string why;
    const auto list = zaevidovane(why, poznamka_);
    if (!list) {
        // Whether this device registered it cannot be told: nothing is written.
        poznamka_ = "posledný doklad fiškálnej služby č. " + number + " sa nezapísal: " + why;
        trekora.log(std::string(kRequest) + " " + poznamka_);
        return;
    }
    const auto zaznam = ZaevidovaneDoklady::najdi(*list, number);
    bool odoslany = zaznam && zaznam->rovnaka(registracia(last));
    if (!zaznam) {
        const auto neiste = EkasaNeiste::zoznam();
        const auto znacka = std::find_if(neiste.begin(), neiste.end(),
                                         [&](const auto& z) { return EkasaNeiste::oznacuje(z, number, ""); });
        odoslany = znacka != neiste.end() && hnedZaZnackou(*znacka, last);
        if (znacka != neiste.end() && !odoslany && !predZnackou(*znacka, last)) {
            poznamka_ = "doklad č. " + number + " odišiel bez odpovede a fiškálna služba odvtedy zaevidovala aj iné " +
                        "doklady: či je ním posledný doklad (poradové číslo " + sequenceText(last.sequenceId) +
                        "), overí tlač dokladu " + number + " po uplynutí čakania; nič sa doň nezapísalo";
            trekora.log(std::string(kRequest) + " " + poznamka_);
            return;
        }
    }
    if (!odoslany) {
        // "No record" only when the document could be read and holds nothing
        // of another registration either.
        if (zaznam || held == Trekora::FiskalneUdaje::ine) poznamka_ = inaRegistracia(last);
        else if (held == Trekora::FiskalneUdaje::neprecitane)
            poznamka_ = "posledný doklad fiškálnej služby č. " + number +
                        " sa nezapísal: fiškálne údaje dokladu sa nedajú prečítať (" + reason + ")";
        else poznamka_ = cudziPosledny(last);
        trekora.log(std::string(kRequest) + " " + poznamka_);
        return;
    }
    const auto result = trekora.updateDokladByCdok(last.uuid, last.okp, last.datumVytvor(), last.datumVystav(),
                                                   last.datumEvid(), last.pardok(), number);
    // A document holding another registration keeps it: the copy tells of it.
    if (isConflict(result)) poznamka_ = ResultString::reason(result);
    else if (!ResultString::isSuccess(result)) fiskalError = writeBackFailure(result);
}

void Ekasa::settle(const EkasaReply& reply) {
    using R = EkasaReply::Registration;
    const auto outcome = reply.registration(cdok, EkasaDoklad::podpis(lastSeen_));
    if (outcome.record) logRecord(*outcome.record);
    auto& trekora = sharedTrekora();
    switch (outcome.registration) {
        case R::uncertain:
            if (!outcome.record) {
                leaveUncertain(uncertainMessage(uncertainBound) + " (" + outcome.why + ")");
            } else {
                // The answer names another registration (another number, or
                // the record the service showed before this one was sent):
                // its identifiers belong elsewhere.
                const EkasaDoklad& d = *outcome.record;
                trekora.log(std::string(kRequest) + " odpoved nepatri dokladu " + cdok + ": " + EkasaDoklad::podpis(d));
                leaveUncertain("fiškálna služba odpovedala údajmi iného dokladu (č. " + d.externalId.value_or("?") +
                               ", poradové číslo " + sequenceText(d.sequenceId) + "), nič sa nezapísalo. " +
                               uncertainMessage(uncertainBound));
            }
            return;
        case R::refused:
        case R::notSent:
            EkasaNeiste::odober(neisty(0));
            fiskalError = reply.error;
            break;
        case R::registered: {
            const EkasaDoklad& d = *outcome.record;
            const auto result = trekora.updateDokladById(d.uuid, d.okp, d.datumVytvor(), d.datumVystav(),
                                                         d.datumEvid(), d.pardok(), documentId_);
            if (isConflict(result)) {
                // The answer names this document but carries another one's
                // identifiers: it settles nothing, and nothing is written.
                leaveUncertain("fiškálna služba odpovedala k dokladu " + cdok + " údajmi inej registrácie (" +
                               ResultString::reason(result) + "), nič sa nezapísalo. " +
                               uncertainMessage(uncertainBound));
                return;
            }
            // The service holds it: a second print finds it there. Until its
            // identifiers are written, the mark tells that this device sent it.
            if (ResultString::isSuccess(result)) EkasaNeiste::odober(neisty(0));
            else fiskalError = writeBackFailure(result);
            fiskalData.assign(reply.body.begin(), reply.body.end());
            break;
        }
    }
    this->response();
}

void Ekasa::logRecord(const EkasaDoklad& d) {
    std::optional<std::string> current;
    if (auto it = fiskalCommandParameters.find("CDOK"); it != fiskalCommandParameters.end()) current = it->second;
    auto& trekora = sharedTrekora();
    const std::string name = kRequest;
    trekora.log(name + " uid: " + EkasaDoklad::shown(d.uuid));
    trekora.log(name + " okp: " + EkasaDoklad::shown(d.okp));
    trekora.log(name + " sequenceId: " + EkasaDoklad::shown(d.sequenceId));
    trekora.log(name + " createDate: " + EkasaDoklad::shown(d.createDate));
    trekora.log(name + " issueDate: " + EkasaDoklad::shown(d.issueDate));
    trekora.log(name + " processDate: " + EkasaDoklad::shown(d.processDate));
    trekora.log(name + " pardok(rok + mesiac z createDate + sequenceId): " +
                EkasaDoklad::shown(std::optional<std::string>(d.pardok())));
    trekora.log(name + " datumVytvor(createDate): " + EkasaDoklad::shown(d.datumVytvor()));
    trekora.log(name + " datumVystav(issueDate): " + EkasaDoklad::shown(d.datumVystav()));
    trekora.log(name + " datumEvid(processDate): " + EkasaDoklad::shown(d.datumEvid()));
    trekora.log(name + " cdok: (externalId) " + EkasaDoklad::shown(d.externalId));
    trekora.log(name + " current_cdok: " + EkasaDoklad::shown(current));
}

void Ekasa::response() {
    auto me = self();
    platform::DispatchQueue::main()->async([me] {
        std::string result = me->fiskalError.empty() ? std::string("OK") : me->fiskalError;
        me->info = me->poznamka_;
        Console::print(std::string(43, '-'));
        Console::print(me->info);
        Console::print(std::string(43, '-'));
        sharedTrekora().log("response() " + result);
        me->finish(result);
    });
}
