// Cash withdrawals and deposits, loyalty point transfers, cancellations,
// acceptance protocols, cash payments of invoices and inventory statements:
// the small writers of the posting frame.
#include "core/Amounts.h"
#include "core/SqlFailure.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "platform/Numbers.h"
#include "posting/PostingFrame.h"
#include "records/KorunkaItem.h"
#include "records/MenuItem.h"
#include "records/OdberatelItem.h"

#include <memory>

using platform::Console;

namespace {

// Refuses a cash amount that is not whole cents or lies beyond the bound.
std::optional<std::string> checkCashAmount(const std::string& suma) {
    const std::int64_t micros = Amounts::unitsOf(suma, 6);
    const std::int64_t magnitude = micros < 0 ? -micros : micros;
    if (micros % 10000 != 0 || magnitude / 10000 > Amounts::maxCashCents) return "chyba!,,suma mimo povoleného rozsahu";
    return std::nullopt;
}

// The document `id` must exist before anything is written for it: the
// statements copy from it, and without it they would write nothing while
// the number query answered some other document.
std::optional<std::string> checkDocumentExists(SqlDatabase& db, const std::string& id) {
    auto rs = SqlRows::query(db, "select id from vety where id = ?", {id});
    const bool found = rs->next();
    rs->close();
    if (!found) return "chyba!,,vybraný doklad neexistuje";
    return std::nullopt;
}

// A whole cancellation is written once per document, and a cancellation
// (whole, of a duplicate, or a cash-sale return) is never cancelled itself:
// each would move the stock again.
std::optional<std::string> checkCancellable(SqlDatabase& db, const std::string& id) {
    if (auto missing = checkDocumentExists(db, id)) return missing;
    {
        auto rs = SqlRows::query(db,
                                 "select id from vety where id = ? and parcdok is not null "
                                 "and (info like 'STORNO %' or (pohyb = 10 and sumdokz < 0))",
                                 {id});
        const bool cancellation = rs->next();
        rs->close();
        if (cancellation) return "chyba!,,storno dokladu nie je možné stornovať";
    }
    auto rs = SqlRows::query(db,
                             "select c.cdok CDOK from vety s join vety c on c.parcdok = s.cdok and c.pohyb = s.pohyb "
                             "and c.info = 'STORNO ' || s.cdok where s.id = ? order by c.id limit 1",
                             {id});
    std::string earlier;
    const bool cancelled = rs->next();
    if (cancelled) earlier = SqlRows::text(*rs, "CDOK");
    rs->close();
    if (cancelled) return "chyba!,,na vybraný doklad už bolo vytvorené storno celého dokladu " + earlier;
    // Nor is a document cancelled whole once goods have come back against
    // it (a credit note, a cash-sale return): the cancellation copies every
    // line and would take those goods back, and refund them, a second time.
    rs = SqlRows::query(db,
                        "select r.cdok CDOK, r.pohyb POHYB from vety s join vety r on r.parcdok = s.cdok "
                        "and r.pohyb in (10, 21) and r.info is not 'STORNO ' || s.cdok "
                        "where s.id = ? and exists (select 1 from polo p where p.vety_id = r.id and p.mnoz < 0) "
                        "order by r.id limit 1",
                        {id});
    std::string returned, pohyb;
    if (rs->next()) {
        returned = SqlRows::text(*rs, "CDOK");
        pohyb = SqlRows::text(*rs, "POHYB");
    }
    rs->close();
    if (returned.empty()) return std::nullopt;
    if (pohyb == "21") return "chyba!,,na vybraný doklad už bol vytvorený dobropis " + returned;
    return "chyba!,,na vybraný doklad už bolo vytvorené storno hotovosti " + returned;
}

PostingFrame::Options cashOptions(Trekora& trekora, const char* name, const char* query, const char* text,
                                  const std::string& suma, const std::string& parDok, PostingFrame::Number number) {
    PostingFrame::Options o;
    o.name = name;
    o.kilometres = true;
    o.lookup = PostingFrame::Lookup::OnConnection;
    o.queryName = [query] { return std::optional<std::string>(query); };
    o.values = [&trekora, text, suma, parDok] {
        return SqlDatabase::Values{trekora.idu, text, trekora.km, "0", suma, parDok};
    };
    o.checks = [suma] { return checkCashAmount(suma); };
    o.binding = PostingFrame::Binding::FirstStatementOnly;
    o.number = number;
    return o;
}

// Stored text of a whole-document cancellation by movement code.
std::optional<std::string> stornoQuery(const std::string& pohyb) {
    if (pohyb == "10" || pohyb == "20" || pohyb == "21" || pohyb == "30" || pohyb == "31")
        return std::string("storno_celeho_dokladu");
    if (pohyb == "44") return std::string("storno_celeho_dokladu_40");
    if (pohyb == "50") return std::string("storno_celeho_dokladu_50");
    if (pohyb == "60") return std::string("storno_celeho_dokladu_60");
    return std::nullopt;
}

PostingFrame::Options byIdOptions(const std::string& name, const std::string& query, const std::string& id) {
    PostingFrame::Options o;
    o.name = name;
    o.lookup = PostingFrame::Lookup::Separate;
    o.queryName = [query] { return std::optional<std::string>(query); };
    o.values = [id] { return SqlDatabase::Values{id}; };
    o.verify = [id](SqlDatabase& db) { return checkDocumentExists(db, id); };
    o.binding = PostingFrame::Binding::EveryStatement;
    o.number = PostingFrame::Number::FirstRow;
    return o;
}

// Looks for an earlier follow-up document (protocol or payment) whose parent
// is the document `id`.
std::string checkParCdok(Trekora& trekora, const std::string& name, int followUpPohyb, const std::string& free,
                         const std::string& taken, const std::string& id) {
    Console::print("start " + name + " ...");
    auto db = SqlRows::connection(trekora);
    if (!db->open()) {
        Console::print("Unable to open database");
        return "chyba!,," + db->lastErrorMessage();
    }
    std::string result;
    try {
        if (!db->beginTransaction()) throw SqlFailure(db->lastErrorMessage());
        std::string source;
        {
            auto rs = SqlRows::query(*db, "select cdok from vety where id=?", {id});
            if (rs->next()) source = SqlRows::text(*rs, "CDOK");
            rs->close();
        }
        std::string earlier;
        {
            auto rs = SqlRows::query(
                *db, "select cdok,parcdok from vety where pohyb=" + std::to_string(followUpPohyb) + " and parcdok=?",
                {source});
            if (rs->next()) earlier = SqlRows::text(*rs, "CDOK");
            rs->close();
        }
        result = earlier.empty() ? free : taken + earlier;
        if (!db->commit()) throw SqlFailure(db->lastErrorMessage());
        Console::print("commit");
    } catch (const std::exception& e) {
        result = PostingFrame::fail(*db, e);
    }
    return PostingFrame::close(*db, result);
}

}  // namespace

std::string Trekora::zapisVyber(const std::string& suma, const std::string& parDok) {
    return PostingFrame::run(*this, cashOptions(*this, "zapisVyber(suma:parDok:)", "vyber_insert", "vyber iPOD", suma,
                                                parDok, PostingFrame::Number::EveryRow));
}

std::string Trekora::zapisVklad(const std::string& suma, const std::string& parDok) {
    return PostingFrame::run(*this, cashOptions(*this, "zapisVklad(suma:parDok:)", "vklad_insert", "vklad iPOD", suma,
                                                parDok, PostingFrame::Number::FirstRow));
}

std::string Trekora::zapisDokladKorunkaPrevod(const std::string& mnozstvo, const std::string& info) {
    PostingFrame::Options o;
    o.name = "zapisDokladKorunkaPrevod(mnozstvo:info:)";
    o.checks = [this, mnozstvo, info]() -> std::optional<std::string> {
        // Only a positive number of points can be handed over.
        if (mnozstvo.empty() || !(Amounts::floatOf(mnozstvo) > 0.0f)) return "chyba!,,žiadne body na prevod!";
        if (info.empty()) return "chyba!,,nebol vybraný žiadny odberateľ!";
        if (info == selectedOdberatelItem->IDO) return "chyba!,,prevod bodov na sameho seba!";
        return std::nullopt;
    };
    o.kilometres = true;
    o.lookup = PostingFrame::Lookup::OnConnection;
    o.queryName = [] { return std::optional<std::string>("korunka_insert_prevod"); };
    o.values = [this, mnozstvo, info] {
        return SqlDatabase::Values{idu, selectedOdberatelItem->IDO, info, km, facvset, facnas, "0", "45", "0",
                                   mnozstvo};
    };
    // The points leave the loyalty account of the establishment chosen on
    // the screen, which the document is written for: it must hold them, as
    // a larger transfer would leave a negative balance, and after the
    // statements it must hold exactly that many fewer. Statements of an
    // older data set, which debit the customer's first establishment, are
    // refused rather than moving another account's points.
    const std::string idosc = selectedOdberatelItem->IDOSC;
    auto balance = [idosc](SqlDatabase& db) {
        auto rs = SqlRows::query(db, "select k.body - k.dary - k.prevod ZOSTATOK from korunka k where k.idosc = ?",
                                 {idosc});
        const std::string zostatok = rs->next() ? SqlRows::text(*rs, "ZOSTATOK") : std::string();
        rs->close();
        return zostatok;
    };
    // What the receiver's accounts have been given, all establishments
    // together: the points must arrive in one of them, never vanish.
    auto received = [info](SqlDatabase& db) {
        auto rs = SqlRows::query(db, "select coalesce(sum(k.prevod), 0) PREVOD from korunka k "
                                     "where k.idosc in (select idosc from odberatel where ido = ?)", {info});
        const std::string prevod = rs->next() ? SqlRows::text(*rs, "PREVOD") : std::string();
        rs->close();
        return prevod;
    };
    auto before = std::make_shared<std::string>();
    auto receivedBefore = std::make_shared<std::string>();
    o.verify = [balance, received, before, receivedBefore, mnozstvo](SqlDatabase& db) -> std::optional<std::string> {
        *before = balance(db);
        *receivedBefore = received(db);
        if (Amounts::unitsOf(mnozstvo, 2) > Amounts::unitsOf(*before, 2)) return "chyba!,,nedostatok bodov na prevod!";
        return std::nullopt;
    };
    o.establishment = idosc;
    o.binding = PostingFrame::Binding::EveryStatement;
    o.confirm = [balance, received, before, receivedBefore, mnozstvo, idosc,
                 info](SqlDatabase& db) -> std::optional<std::string> {
        const std::int64_t points = Amounts::unitsOf(mnozstvo, 6);
        const std::int64_t moved = Amounts::unitsOf(*before, 6) - Amounts::unitsOf(balance(db), 6);
        if (moved != points)
            return "chyba!,,prevod sa nezapísal: body sa neodpísali z účtu prevádzky " + idosc +
                   ". Uložené príkazy prevodu sú zastarané, spustite aktualizáciu dát z centrály.";
        const std::int64_t arrived = Amounts::unitsOf(*receivedBefore, 6) - Amounts::unitsOf(received(db), 6);
        if (arrived != points)
            return "chyba!,,prevod sa nezapísal: body sa nepripísali na účet odberateľa " + info +
                   ". Uložené príkazy prevodu sú zastarané, spustite aktualizáciu dát z centrály.";
        return std::nullopt;
    };
    o.number = PostingFrame::Number::FirstRow;
    o.afterCommit = [this, mnozstvo](const std::string&) {
        const std::int64_t zostatok = Amounts::integerOf(selectedKorunkaItem->ZOSTATOK) - Amounts::integerOf(mnozstvo);
        selectedKorunkaItem->ZOSTATOK = platform::format("%lld", static_cast<long long>(zostatok));
    };
    return PostingFrame::run(*this, o);
}

std::string Trekora::stornoCelehoDokladu(const std::string& id, const std::string& pohyb) {
    auto o = byIdOptions("stornoCelehoDokladu(id:pohyb:)", "", id);
    o.queryName = [pohyb] { return stornoQuery(pohyb); };
    o.noStatementAnswer = "chyba!,,pre vybraný doklad nie je možné vytvoriť storno celého dokladu";
    o.verify = [id](SqlDatabase& db) { return checkCancellable(db, id); };
    return PostingFrame::run(*this, o);
}

std::string Trekora::stornoFiskal(const std::string& id, const std::string& pohyb) {
    (void)pohyb;  // the same statements cancel a duplicate of any document
    return PostingFrame::run(*this, byIdOptions("stornoFiskal(id:pohyb:)", "storno_fiskal", id));
}

std::string Trekora::preberaciCheckParCdok(const std::string& id, const std::string& pohyb) {
    (void)pohyb;
    return checkParCdok(*this, "preberaciCheckParCdok(id:pohyb:)", 16,
                        "ok!,,na vybraný doklad ešte nebol vytvorený preberací protokol",
                        "chyba!,,na vybraný doklad už bol vytvorený preberací protokol ", id);
}

std::string Trekora::uhradaFakturyCheckParCdok(const std::string& id, const std::string& pohyb) {
    (void)pohyb;
    return checkParCdok(*this, "uhradaFakturyCheckParCdok(id:pohyb:)", 6,
                        "ok!,,na vybraný doklad ešte nebola vytvorená úhrada faktúry",
                        "chyba!,,na vybraný doklad už bola vytvorená úhrada faktúry ", id);
}

std::string Trekora::vytvorPreberaciProtokol(const std::string& id, const std::string& pohyb) {
    Console::print("start vytvorPreberaciProtokol(id:pohyb:) ...");
    if (!(pohyb == "10" || pohyb == "20" || pohyb == "21" || pohyb == "30" || pohyb == "31"))
        return "chyba!,, pre vybraný doklad nie je možné vytvoriť preberací protokol";
    const std::string check = preberaciCheckParCdok(id, pohyb);
    if (!ResultString::isSuccess(check)) return check;
    return PostingFrame::run(*this, byIdOptions("", "preberaci_protokol_insert", id));
}

std::string Trekora::vytvorUhraduFaktury(const std::string& id, const std::string& pohyb) {
    Console::print("start vytvorUhraduFaktury(id:pohyb:) ...");
    const std::string check = uhradaFakturyCheckParCdok(id, pohyb);
    if (!ResultString::isSuccess(check)) return check;
    return PostingFrame::run(*this, byIdOptions("", "uhrada_faktury_v_hotovosti_cela", id));
}

std::string Trekora::vytvorInventurnyVypis(const std::shared_ptr<MenuItem>& menuItem) {
    const std::int64_t skladTyp = menuItem ? menuItem->sklad_typ : 0;
    PostingFrame::Options o;
    o.name = "vytvorInventurnyVypis(menuItem:)";
    o.lookup = PostingFrame::Lookup::Separate;
    std::optional<std::string> name;
    if (skladTyp == 10) name = "inventura_insert";
    else if (skladTyp == 40 || skladTyp == 50 || skladTyp == 60) name = "inventura_insert_" + std::to_string(skladTyp);
    else o.noStatementAnswer = "chyba!,," + std::string(TrekoraError::nenajdeneQuery(
                                                "inventura_insert_" + std::to_string(skladTyp)).what());
    o.queryName = [name] { return name; };
    o.values = [this] {
        info = "";
        return SqlDatabase::Values{idu, info};
    };
    o.binding = PostingFrame::Binding::EveryStatement;
    o.number = PostingFrame::Number::FirstRowRequired;
    return PostingFrame::run(*this, o);
}
