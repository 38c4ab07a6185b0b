// Menus, recomputation, the temporary document and the readers of the sales
// logic.
#include "posting/PostingFixture.h"
#include "core/CoreDb.h"

#include "core/Amounts.h"
#include "core/SqlRows.h"
#include "platform/Clock.h"
#include "platform/DateFormatter.h"
#include "records/KorunkaItem.h"
#include "records/ParameterItem.h"
#include "records/TempPoloItem.h"
#include "records/TempVetyItem.h"

using posting_test::PostingFixture;

namespace {

class Sales : public PostingFixture {
protected:
    std::vector<std::string> captions(const std::string& menu) {
        std::vector<std::string> out;
        for (const auto& m : t->getMenuItems(menu)) out.push_back(m->caption);
        return out;
    }
    std::shared_ptr<TovarItem> good(const std::string& cena, const std::string& z1, const std::string& z2,
                                    const std::string& z3, const std::string& dph, const std::string& vybrane) {
        auto g = std::make_shared<TovarItem>();
        g->CENA = cena;
        g->ZLAVA1 = z1;
        g->ZLAVA2 = z2;
        g->ZLAVA3 = z3;
        g->DPH = dph;
        g->VYBRANE = vybrane;
        return g;
    }
};

TEST_F(Sales, MenusFollowSettingsAndCustomer) {
    t->nastaveniaItem->OBJ_PRE_IMPORT = "N";
    EXPECT_EQ(t->getMenuItems("menu").size(), 10u);
    t->nastaveniaItem->OBJ_PRE_IMPORT = "A";
    auto main = captions("menu");
    ASSERT_EQ(main.size(), 11u);
    EXPECT_EQ(main[6], "objednávky na závoz");

    t->nastaveniaItem->OBJ_PRE_EXPORT = "N";
    t->selectedOdberatelItem->POHYB = "10";
    EXPECT_EQ(captions("predaj"),
              (std::vector<std::string>{"hotovosť", "storno hotovosti", "faktúra na hotovosť", "dobropis na hotovosť",
                                        "objednávka", "bez predaja", "výdaj darčekov", "výdaj pos materiálu",
                                        "výdaj vzoriek", "prevod bodov"}));
    t->nastaveniaItem->OBJ_PRE_EXPORT = "A";
    t->selectedOdberatelItem->POHYB = "20";
    auto predaj = captions("predaj");
    ASSERT_EQ(predaj.size(), 13u);
    EXPECT_EQ(predaj[4], "faktúra");
    EXPECT_EQ(predaj[5], "dobropis");
    EXPECT_EQ(predaj[7], "objednávka na závoz");
    t->selectedOdberatelItem->POHYB = "30";
    predaj = captions("predaj");
    EXPECT_EQ(predaj[4], "dodací list");
    EXPECT_EQ(predaj[5], "návratka");
    t->selectedOdberatelItem->POHYB = " 20";
    EXPECT_EQ(captions("predaj").size(), 11u);

    auto storno = t->getMenuItems("predaj")[1];
    EXPECT_EQ(storno->pohyb, 10);
    EXPECT_EQ(storno->koeficient, -1);
    EXPECT_EQ(storno->min, -10000);
    EXPECT_EQ(storno->name, "STORNO_HOTOVOSTI");

    t->nastaveniaItem->OBJ_PRE_IMPORT = "a";
    t->nastaveniaItem->OBJ_PRE_EXPORT = "a";
    EXPECT_EQ(captions("spojenie").size(), 3u);
    t->nastaveniaItem->OBJ_PRE_EXPORT = "A";
    t->nastaveniaItem->OBJ_PRE_IMPORT = "A";
    auto spojenie = captions("spojenie");
    ASSERT_EQ(spojenie.size(), 5u);
    EXPECT_EQ(spojenie[3], "export objednávok na závoz");

    EXPECT_EQ(captions("prijem"), (std::vector<std::string>{"tovar", "pos", "vzorky", "darčeky"}));
    EXPECT_EQ(t->getMenuItems("inventura")[3]->sklad_typ, 40);
    EXPECT_EQ(captions("uzavierka").size(), 6u);
    EXPECT_EQ(t->getMenuItems("info")[0]->popis.rfind("verzia: ", 0), 0u);
    EXPECT_TRUE(t->getMenuItems("Predaj").empty());
    EXPECT_TRUE(t->getMenuItems("").empty());
    EXPECT_NE(t->getMenuItems("servis")[0], t->getMenuItems("servis")[0]);
    EXPECT_EQ(captions("nepredaj").size(), 7u);
}

TEST_F(Sales, RecomputationReproducesTheWorkedNumbers) {
    auto a = good("10", "10", "0", "5", "20", "3");
    t->prepocitajDoklad({a});
    EXPECT_EQ(a->CENA3, "   8.550");
    EXPECT_EQ(a->CCMNOZ, "   25.65");
    EXPECT_EQ(a->HDPHCC, "    5.13");
    EXPECT_EQ(a->CCSUM, "   30.78");
    EXPECT_EQ(a->CENA3SDPH, "   10.26");
    EXPECT_EQ(t->selectedSumdokz, "        30.78");

    auto b = good("1.99", "", "", "", "20", "-2");
    t->prepocitajDoklad({b});
    EXPECT_EQ(b->CCMNOZ, "   -3.98");
    EXPECT_EQ(b->HDPHCC, "   -0.80");
    EXPECT_EQ(b->CCSUM, "   -4.78");

    t->prepocitajDoklad({});
    EXPECT_EQ(t->selectedSumdokz, "         0.00");
    EXPECT_EQ(t->selectedSumdokzDoKorunky, "         0.00");

    auto c = good("10", "100", "0", "0", "20", "1");
    c->KORUNKA = "Ano";
    auto d = good("123456.5", "0", "0", "0", "0", "1");
    t->prepocitajDoklad({c, d});
    EXPECT_EQ(c->CENA3, "   0.000");
    EXPECT_EQ(d->CCMNOZ, "123456.50");
    EXPECT_EQ(t->selectedSumdokzDoKorunky, "         0.00");

    t->nastaveniaItem->MAXSUMAHOTOVOSTI = "200";
    t->selectedSumdokz = "      -250.00";
    EXPECT_EQ(t->checkMaxSumaHotovosti(), "chyba! ,,prekročená_max_suma_hotovosti");
    t->selectedSumdokz = "       200.00";
    EXPECT_EQ(t->checkMaxSumaHotovosti(), "ok");
}

TEST_F(Sales, PickingAndTakeBack) {
    t->tovarArray = {good("1", "", "", "", "", "-3"), good("1", "", "", "", "", "0"), good("1", "", "", "", "", "x"),
                     good("1", "", "", "", "", ""), good("1", "", "", "", "", "2.7")};
    auto picked = t->getPolozkyArray();
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(picked[0], t->tovarArray[0]);
    EXPECT_EQ(picked[1]->VYBRANE, "2.7");

    t->selectedTypDokladuItem = typ("prijem", "darčeky");
    load(t->selectedTypDokladuItem);
    t->odprijmovatVsetko();
    for (const auto& g : t->tovarArray)
        if (g->IDTOV == "D001") {
            EXPECT_EQ(g->VYBRANE, "-20");
        }
    EXPECT_EQ(t->getDatumSpotrebyArray("d001")[0]->VYBRANE, "-20");
}

TEST_F(Sales, TemporaryDocumentRules) {
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 2);
    choose("T001", "2027-08-31", 1);
    auto batches = t->getDatumSpotrebyArray("T001");
    t->prepocitajDoklad(t->getPolozkyArray());
    t->naplnTempDoklad();
    ASSERT_EQ(t->tempVetyArray.size(), 1u);
    EXPECT_EQ(t->tempVetyArray[0]->INFO, "DC:1");
    EXPECT_EQ(t->tempVetyArray[0]->SUMDOKZ, t->selectedSumdokz);
    ASSERT_EQ(t->tempPoloArray.size(), 2u);
    EXPECT_EQ(t->tempPoloArray[0]->MNOZ, "2");
    EXPECT_EQ(t->tempPoloArray[1]->DATUMSPOTREBY, "2027-08-31");

    // A batch quantity that is zero as a number makes no line.
    batches[1]->VYBRANE = "0.0";
    t->naplnTempDoklad();
    EXPECT_EQ(t->tempPoloArray.size(), 1u);
    batches[1]->VYBRANE = "";
    t->naplnTempDoklad();
    EXPECT_EQ(t->tempPoloArray.size(), 1u);
    EXPECT_EQ(t->tempVetyArray.size(), 1u);

    t->nastaveniaItem->FISKAL_PRINT = "A";
    t->info = "poznámka";
    t->naplnTempDoklad();
    EXPECT_EQ(t->tempVetyArray[0]->INFO, "poznámka");

    t->selectedTypDokladuItem = typ("predaj", "faktúra na hotovosť");
    t->info = "05.12.2026";
    t->naplnTempDoklad();
    EXPECT_EQ(t->tempVetyArray[0]->INFO, "2026-12-05");
    EXPECT_EQ(t->tempVetyArray[0]->FACVSET, "1");
    t->info = "";
    t->naplnTempDoklad();
    EXPECT_EQ(t->tempVetyArray[0]->INFO, platform::DateFormatter("yyyy-MM-dd").string(platform::Clock::now()));

    t->nastaveniaItem->OBJ_PRE_EXPORT = "A";
    t->nastaveniaItem->OBJ_PRE_EXPORT_STR = "";
    t->selectedTypDokladuItem = typ("predaj", "objednávka na závoz");
    t->naplnTempDoklad();
    EXPECT_EQ(t->tempVetyArray[0]->INFO, "ZAVOZ:");
}

TEST_F(Sales, ReceiptNumbersTakeTheNumericMaximum) {
    EXPECT_EQ(t->getParagonNumber(), "DC:1");
    exec("insert into vety (pohyb, info) values (10, 'DC:9'), (10, 'DC:10'), (20, 'DC:50'), (10, 'XDC:70')");
    EXPECT_EQ(t->getParagonNumber(), "DC:11");
}

TEST_F(Sales, PriceListsAndBatches) {
    customer("10103-01");  // price list 2, standing discount 0
    load(typ("predaj", "hotovosť"));
    ASSERT_EQ(t->tovarArray.size(), 12u);
    EXPECT_EQ(t->tovarArray[0]->IDTOV, "T001");
    EXPECT_EQ(t->tovarArray[0]->CENA, "13.9");
    EXPECT_EQ(t->tovarArray[0]->ZLAVA1, "3.0");
    EXPECT_EQ(t->tovarArray[0]->MAXZLA, t->tovarArray[0]->ZLAVA1);
    EXPECT_EQ(t->tovarArray[0]->SKLAD_STAV, "36.0");
    EXPECT_EQ(t->tovarArray[0]->KORUNKA, "ANO");
    EXPECT_EQ(t->tovarArray[0]->CCSUM, "");
    EXPECT_EQ(t->getDatumSpotrebyArray("t001").size(), 2u);
    EXPECT_EQ(t->getDatumSpotrebyArray("T001")[0]->FDATSPOT, "31.05.2027 (12.0)");

    load(typ("predaj", "výdaj vzoriek"));
    EXPECT_EQ(t->tovarArray.size(), 3u);
    load(typ("prijem", "darčeky"));
    EXPECT_EQ(t->tovarArray.size(), 4u);
    EXPECT_EQ(t->tovarArray[0]->CENA, "150.0");

    // Unknown price list: an empty list.
    t->readTovarArray("10103-01", "lookup_nic");
    EXPECT_TRUE(t->tovarArray.empty());
}

TEST_F(Sales, LoyaltyAccountAndPointsCheck) {
    customer("10101-01");
    t->readKorunka("10101-01");
    EXPECT_EQ(t->selectedKorunkaItem->KORUNKA, "ANO");
    EXPECT_EQ(t->selectedKorunkaItem->ZOSTATOK, "520.0");
    t->tovarArray = {good("1", "", "", "", "", "1")};
    t->tovarArray[0]->CCMNOZ = "  520.00";
    EXPECT_EQ(t->checkKorunkaBody(), "ok");
    t->tovarArray[0]->CCMNOZ = "  521.00";
    EXPECT_EQ(t->checkKorunkaBody(), "chyba! ,,nedostatok_bodov!");

    customer("10102-01");  // not a member
    t->readKorunka("10102-01");
    EXPECT_EQ(t->selectedKorunkaItem->ZOSTATOK, "");
    EXPECT_EQ(t->checkKorunkaBody(), "chyba!,,odberatel nie je zaradený v korunke!");
}

TEST_F(Sales, ParameterFormsAndLookups) {
    auto form = t->getParameterArray(typ("predaj", "faktúra na hotovosť"));
    ASSERT_EQ(form.size(), 1u);
    EXPECT_EQ(form[0]->NAME, "DATUMDODANIA");
    EXPECT_EQ(form[0]->VALUE, platform::DateFormatter("dd.MM.yyyy").string(platform::Clock::now()));
    EXPECT_EQ(form[0]->DISPLAYVALUE, form[0]->VALUE);
    EXPECT_TRUE(t->getParameterArray(typ("predaj", "objednávka")).empty());
    EXPECT_TRUE(t->parameterArray.empty());

    customer("10101-01");
    t->readKorunka("10101-01");
    t->selectedTypDokladuItem = typ("predaj", "prevod bodov");
    form = t->getParameterArray(t->selectedTypDokladuItem);
    ASSERT_EQ(form.size(), 2u);
    EXPECT_EQ(form[0]->MAX, "520.0");
    auto receivers = t->getLookupData(form[1]);
    ASSERT_FALSE(receivers.empty());
    for (const auto& r : receivers) EXPECT_NE(r.at("LOOKUPFIELD"), "10101");

    // The credit note lists the customer's invoices not paid in cash.
    t->info = "01.12.2026";
    load(typ("predaj", "faktúra"));
    choose("T002", "", 1);
    ASSERT_EQ(post(), "ok! ,,cdok=1001");
    t->selectedTypDokladuItem = typ("predaj", "dobropis");
    form = t->getParameterArray(t->selectedTypDokladuItem);
    auto invoices = t->getLookupData(form[1]);
    ASSERT_EQ(invoices.size(), 1u);
    EXPECT_EQ(invoices[0].at("CDOK"), "1001");
    EXPECT_EQ(invoices[0].at("NAZOV1"), "Potraviny Jednota");
    t->selectedTypDokladuItem = typ("predaj", "dobropis na hotovosť");
    form = t->getParameterArray(t->selectedTypDokladuItem);
    EXPECT_TRUE(t->getLookupData(form[1]).empty());

    // Activities, then the documents the chosen one may be applied to.
    t->selectedTypDokladuItem = typ("predaj", "výdaj vzoriek");
    form = t->getParameterArray(t->selectedTypDokladuItem);
    auto activities = t->getLookupData(form[0]);
    ASSERT_EQ(activities.size(), 4u);
    EXPECT_EQ(activities[0].at("STAV"), "Prebiehajuca");
    form[0]->VALUE = "2";
    auto documents = t->getLookupData(form[1]);
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0].at("CDOK"), "1001");
}

TEST_F(Sales, CreditNotePickersLeaveOutCancelledInvoicesAndTheirCancellations) {
    customer("10101-01");
    t->info = "01.12.2026";
    auto invoice = [this](const std::string& caption) {
        load(typ("predaj", caption));
        choose("T002", "", 1);
        return cdokOf(post());
    };
    auto offered = [this](const std::string& caption) {
        t->selectedTypDokladuItem = typ("predaj", caption);
        std::vector<std::string> cdoks;
        for (const auto& row : t->getLookupData(t->getParameterArray(t->selectedTypDokladuItem)[1]))
            cdoks.push_back(row.at("CDOK"));
        return cdoks;
    };
    const std::string cancelled = invoice("faktúra");
    const std::string kept = invoice("faktúra");
    const std::string cash = invoice("faktúra na hotovosť");
    for (const auto& cdok : {cancelled, cash}) {
        const std::string id = value("select id from vety where cdok = ?", {cdok});
        ASSERT_EQ(t->stornoCelehoDokladu(id, "20").rfind("ok!", 0), 0u);
    }
    EXPECT_EQ(offered("dobropis"), std::vector<std::string>{kept});
    EXPECT_TRUE(offered("dobropis na hotovosť").empty());
}

TEST_F(Sales, DetailPagesEscapeGoodsValues) {
    exec("update tovar set naztov1 = 'Káva <b>&</b>' where idtov = 'T001'");
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 2);
    choose("T004", "", 1);
    ASSERT_EQ(post(), "ok! ,,cdok=1001");
    const std::string page = t->getDokladHtml("1001");
    EXPECT_NE(page.find("<tr><td>T001</td><td colspan=3>Káva &lt;b&gt;&amp;&lt;/b&gt;</td></tr>"), std::string::npos)
        << page;
    EXPECT_NE(page.find("<tr><td> </td><td><b>2.0 x</b></td><td>"), std::string::npos);
    EXPECT_EQ(page.find("<b>&</b>"), std::string::npos);
    const std::string empty = t->getDokladHtml("");
    EXPECT_NE(empty.find("<table></table>"), std::string::npos);

    const std::string activity = t->getAktivitaHtml("2");
    EXPECT_NE(activity.find("<h3>Zimná ochutnávka</h3>"), std::string::npos) << activity;
}

TEST(StatementList, CutsAtEverySemicolon) {
    auto s = coredb::cutStatements("select 1;\n select 2;");
    EXPECT_EQ(s.pieces, 3u);
    ASSERT_EQ(s.statements.size(), 2u);
    EXPECT_EQ(s.statements[1], "\n select 2");
    s = coredb::cutStatements("a;;  ;b;");
    EXPECT_EQ(s.pieces, 5u);
    EXPECT_EQ(s.statements.size(), 2u);
    EXPECT_EQ(coredb::cutStatements("").pieces, 1u);
    EXPECT_TRUE(coredb::cutStatements(" \n\t").statements.empty());
}

TEST(Amounts, FormattingKeepsBlanksAndNeverCuts) {
    EXPECT_EQ(Amounts::format("%8.2f", 30.78f), "   30.78");
    EXPECT_EQ(Amounts::format("%8.3f", 123456.0), "123456.000");
    EXPECT_EQ(Amounts::formatUnits(Amounts::unitsOf("2.675", 2), 2, 8), "    2.68");
}

}  // namespace
