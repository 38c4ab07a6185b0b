// Menus and document types: every menu of the application is a fixed list of
// rows; the receipt and sales rows are at the same time the document types
// that the document screens and the posting work from.
#include "core/Trekora.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"

#include "platform/Console.h"
#include <optional>

namespace {

using Menu = std::vector<std::shared_ptr<MenuItem>>;

struct Row {
    const char* image = "";
    const char* caption = "";
    const char* popis = "";
    std::int64_t pohyb = 0;
    std::int64_t ctlac = 0;
    std::int64_t sklad_typ = 0;
    std::int64_t koeficient = 0;
    std::int64_t min = 0;
    std::int64_t max = 0;
    const char* action = "";
    const char* segue = "";
    const char* select_query_name = "";
    const char* name = "";
    const char* info = "";
};

std::shared_ptr<MenuItem> item(const Row& r) {
    auto m = std::make_shared<MenuItem>();
    m->image = r.image;
    m->caption = r.caption;
    m->popis = r.popis;
    m->pohyb = r.pohyb;
    m->ctlac = r.ctlac;
    m->sklad_typ = r.sklad_typ;
    m->koeficient = r.koeficient;
    m->min = r.min;
    m->max = r.max;
    m->action = r.action;
    m->segue = r.segue;
    m->trasa_cislo = 0;
    m->select_query_name = r.select_query_name;
    m->name = r.name;
    m->info = r.info;
    return m;
}

Menu mainMenu(bool objPreImport) {
    Menu m;
    m.push_back(item({.image = "person.fill", .caption = "užívateľ", .popis = "prihlásený užívateľ",
                      .action = "showUzivatel", .segue = "menu_uzivatel_segue"}));
    m.push_back(item({.image = "tray.and.arrow.down.fill", .caption = "príjem", .segue = "menu_prijem_segue"}));
    m.push_back(item({.image = "tray.and.arrow.up.fill", .caption = "predaj", .segue = "menu_predaj_segue"}));
    m.push_back(item({.image = "tray.fill", .caption = "inventúra", .segue = "menu_inventura_segue"}));
    m.push_back(item({.image = "tray.full.fill", .caption = "uzávierka", .segue = "menu_uzavierka_segue"}));
    m.push_back(item({.image = "doc.on.doc.fill", .caption = "doklady", .segue = "menu_doklady_segue"}));
    if (objPreImport)
        m.push_back(item({.image = "doc.on.doc", .caption = "objednávky na závoz", .segue = "menu_objednavky_segue"}));
    m.push_back(item({.image = "link.icloud.fill", .caption = "spojenie", .segue = "menu_spojenie_segue"}));
    m.push_back(item({.image = "gearshape.fill", .caption = "nastavenia", .segue = "menu_nastavenia_segue"}));
    m.push_back(item({.image = "info.circle.fill", .caption = "info", .segue = "menu_info_segue"}));
    m.push_back(item({.image = "wrench.fill", .caption = "servis", .action = "showLogin", .segue = "menu_servis_segue"}));
    return m;
}

Menu prijemMenu() {
    Menu m;
    auto receipt = [&](const char* caption, std::int64_t pohyb, std::int64_t skladTyp, const char* query) {
        m.push_back(item({.image = "tray.and.arrow.down.fill", .caption = caption, .pohyb = pohyb, .ctlac = 0,
                          .sklad_typ = skladTyp, .koeficient = 0, .min = -10000, .max = 10000,
                          .segue = "prijem_items_segue", .select_query_name = query}));
    };
    receipt("tovar", 19, 10, "lookup_cennik");
    receipt("pos", 59, 50, "lookup_cennik_50");
    receipt("vzorky", 69, 60, "lookup_cennik_60");
    receipt("darčeky", 43, 40, "lookup_cennik_40");
    return m;
}

Menu predajMenu(bool objPreExport, const std::string& customerPohyb) {
    const char* up = "tray.and.arrow.up.fill";
    Menu m;
    m.push_back(item({.image = up, .caption = "hotovosť", .pohyb = 10, .sklad_typ = 10, .koeficient = 1, .max = 10000,
                      .segue = "predaj_items_segue", .select_query_name = "lookup_cennik"}));
    m.push_back(item({.image = up, .caption = "storno hotovosti", .pohyb = 10, .sklad_typ = 10, .koeficient = -1,
                      .min = -10000, .segue = "storno_hotovosti_parameters_segue",
                      .select_query_name = "lookup_cennik", .name = "STORNO_HOTOVOSTI"}));
    m.push_back(item({.image = up, .caption = "faktúra na hotovosť", .pohyb = 20, .ctlac = 1, .sklad_typ = 10,
                      .koeficient = 1, .max = 10000, .segue = "faktura_na_hotovost_parameters_segue",
                      .select_query_name = "lookup_cennik", .name = "FAKTURA_NA_HOTOVOST"}));
    m.push_back(item({.image = up, .caption = "dobropis na hotovosť", .pohyb = 21, .ctlac = 1, .sklad_typ = 10,
                      .koeficient = -1, .min = -10000, .segue = "dobropis_na_hotovost_parameters_segue",
                      .select_query_name = "lookup_cennik", .name = "DOBROPIS_NA_HOTOVOST"}));
    if (customerPohyb == "20") {
        m.push_back(item({.image = up, .caption = "faktúra", .pohyb = 20, .sklad_typ = 10, .koeficient = 1,
                          .max = 10000, .segue = "faktura_parameters_segue", .select_query_name = "lookup_cennik",
                          .name = "FAKTURA"}));
        m.push_back(item({.image = up, .caption = "dobropis", .pohyb = 21, .sklad_typ = 10, .koeficient = -1,
                          .min = -10000, .segue = "dobropis_parameters_segue", .select_query_name = "lookup_cennik",
                          .name = "DOBROPIS"}));
    }
    if (customerPohyb == "30") {
        m.push_back(item({.image = up, .caption = "dodací list", .pohyb = 30, .sklad_typ = 10, .koeficient = 1,
                          .max = 10000, .segue = "predaj_items_segue", .select_query_name = "lookup_cennik"}));
        m.push_back(item({.image = up, .caption = "návratka", .pohyb = 31, .sklad_typ = 10, .koeficient = -1,
                          .min = -10000, .segue = "predaj_items_segue", .select_query_name = "lookup_cennik"}));
    }
    m.push_back(item({.image = up, .caption = "objednávka", .pohyb = 40, .sklad_typ = 10, .koeficient = 0,
                      .max = 10000, .segue = "predaj_items_segue", .select_query_name = "lookup_cennik"}));
    if (objPreExport)
        m.push_back(item({.image = "signpost.right.fill", .caption = "objednávka na závoz", .pohyb = 40,
                          .sklad_typ = 10, .koeficient = 0, .max = 10000, .segue = "predaj_items_segue",
                          .select_query_name = "lookup_cennik_zavoz", .name = "ZAVOZ", .info = "ZAVOZ"}));
    m.push_back(item({.image = "xmark.circle.fill", .caption = "bez predaja", .segue = "predaj_dovod_segue",
                      .select_query_name = "lookup_dovod"}));
    m.push_back(item({.image = "giftcard.fill", .caption = "výdaj darčekov", .pohyb = 44, .sklad_typ = 40,
                      .koeficient = 1, .max = 10000, .segue = "vydaj_darcekov_items_segue",
                      .select_query_name = "lookup_cennik_40", .name = "VYDAJ_DARCEKOV"}));
    m.push_back(item({.image = "archivebox.fill", .caption = "výdaj pos materiálu", .pohyb = 50, .sklad_typ = 50,
                      .koeficient = 1, .max = 10000, .segue = "predaj_items_segue",
                      .select_query_name = "lookup_cennik_50"}));
    m.push_back(item({.image = up, .caption = "výdaj vzoriek", .pohyb = 60, .sklad_typ = 60, .koeficient = 1,
                      .max = 10000, .segue = "aktivita_parameters_segue", .select_query_name = "lookup_cennik_60",
                      .name = "AKTIVITA"}));
    m.push_back(item({.image = "arrow.left.and.right.circle.fill", .caption = "prevod bodov", .pohyb = 45,
                      .koeficient = 1, .max = 10000, .segue = "prevod_bodov_parameters_segue",
                      .name = "PREVOD_BODOV"}));
    return m;
}

Menu inventuraMenu() {
    Menu m;
    auto row = [&](const char* caption, std::int64_t skladTyp) {
        m.push_back(item({.image = "tray.fill", .caption = caption, .sklad_typ = skladTyp,
                          .segue = "inventura_sklad_segue"}));
    };
    row("tovar", 10);
    row("pos", 50);
    row("vzorky", 60);
    row("darčeky", 40);
    return m;
}

Menu uzavierkaMenu() {
    Menu m;
    m.push_back(item({.image = "rectangle.fill.on.rectangle.fill", .caption = "kópia posledného dokladu",
                      .popis = "posledný doklad v chdu", .segue = "tlac_kopiu_posledneho_dokladu"}));
    m.push_back(item({.image = "minus.rectangle.fill", .caption = "odvod", .popis = "výber z pokladne",
                      .segue = "tlac_vyber"}));
    m.push_back(item({.image = "plus.rectangle.fill", .caption = "vklad", .popis = "vklad do pokladne",
                      .segue = "tlac_vklad"}));
    m.push_back(item({.image = "lock.rectangle.fill", .caption = "denná uzávierka",
                      .popis = "vytvorenie trekora uzávierky", .segue = "tlac_dennu_uzavierku"}));
    m.push_back(item({.image = "safari.fill", .caption = "aktualizuj polohu", .popis = "posle ŠPZ na fin. správu",
                      .segue = "aktualizuj_polohu"}));
    m.push_back(item({.image = "checkmark.rectangle.fill", .caption = "fix doklad", .popis = "ak ekasa neodpoveda",
                      .segue = "fix_doklad"}));
    return m;
}

Menu spojenieMenu(bool objPreExport, bool objPreImport) {
    Menu m;
    m.push_back(item({.image = "arrow.clockwise.icloud", .caption = "synchronizácia",
                      .segue = "spojenie_synchronizacia_segue"}));
    m.push_back(item({.image = "icloud.and.arrow.down", .caption = "aktualizácia",
                      .segue = "spojenie_aktualizacia_segue"}));
    m.push_back(item({.image = "arrow.counterclockwise.icloud", .caption = "obnova", .segue = "spojenie_obnova_segue"}));
    if (objPreExport)
        m.push_back(item({.image = "icloud.and.arrow.up", .caption = "export objednávok na závoz",
                          .segue = "spojenie_export_segue"}));
    if (objPreImport)
        m.push_back(item({.image = "icloud.and.arrow.down", .caption = "import objednávok na závoz",
                          .segue = "spojenie_import_segue"}));
    return m;
}

// The application's short version text, as the information menu shows it.
std::optional<std::string> bundleShortVersion() {
#ifdef TREKORA_VERSION
    return std::string(TREKORA_VERSION);
#else
    return std::string("2.24");
#endif
}

Menu infoMenu(const std::optional<std::string>& version) {
    platform::Console::print(version ? *version : std::string("nil"));
    const std::string popis = "verzia: " + version.value_or("");
    Menu m;
    auto versionRow = item({.image = "square.stack.3d.up.fill", .caption = "trekora II", .name = "VERZIA"});
    versionRow->popis = popis;
    m.push_back(versionRow);
    m.push_back(item({.image = "person.fill", .caption = "autor", .popis = "vývojový tím Trekora"}));
    m.push_back(item({.image = "person.fill", .caption = "podpora", .popis = "zákaznícka podpora Trekora"}));
    m.push_back(item({.image = "person.fill", .caption = "testovanie", .popis = "obchodná služba Trekora"}));
    return m;
}

Menu servisMenu() {
    Menu m;
    m.push_back(item({.image = "clear.fill", .caption = "vymaž objednávky na závoz", .segue = "vymaz_objednavky"}));
    m.push_back(item({.image = "person.fill", .caption = "nastav predajcu", .segue = "nastav_predajcu"}));
    return m;
}

}  // namespace

std::vector<std::shared_ptr<MenuItem>> Trekora::getMenuItems(const std::string& menu) {
    const bool objPreImport = nastaveniaItem && nastaveniaItem->OBJ_PRE_IMPORT == "A";
    const bool objPreExport = nastaveniaItem && nastaveniaItem->OBJ_PRE_EXPORT == "A";
    const std::string customerPohyb = selectedOdberatelItem ? selectedOdberatelItem->POHYB : std::string();

    if (menu == "menu") return mainMenu(objPreImport);
    if (menu == "prijem") return prijemMenu();
    if (menu == "predaj") return predajMenu(objPreExport, customerPohyb);
    if (menu == "inventura") return inventuraMenu();
    if (menu == "uzavierka") return uzavierkaMenu();
    if (menu == "spojenie") return spojenieMenu(objPreExport, objPreImport);
    if (menu == "info") return infoMenu(bundleShortVersion());
    if (menu == "servis") return servisMenu();
    if (menu == "trasa") return getTrasaMenuItems();
    if (menu == "nepredaj") return getDovodMenuItems();
    return {};
}
