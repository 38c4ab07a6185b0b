// What the salesman types and what the screens refuse, and the customer search.
#include "SalesFixture.h"

#include "records/KorunkaItem.h"
#include "records/OdberatelItem.h"
#include "ui/sales/SearchText.h"

TEST_F(SalesTest, ExtraDiscountIsANumberFromZeroToTheCustomersMaximum) {
    document("kvet", "hotovosť");  // ZLMAX 8
    pick("T001", 0, "1", "");
    backToEditor();
    auto editor = topAs<Polozky>();
    const std::string outOfRange = "číslo mimo povolený rozsah!", noNumber = "zadaný text nie je číslo",
                      places = "zľava môže mať najviac dve desatinné miesta!";
    for (const auto& [refused, told] : {std::pair{"abc", noNumber}, {"8,01", outOfRange}, {"-1", outOfRange},
                                        {"5%", noNumber}, {"7,995", places}}) {
        editor->dodZlava(refused);
        ASSERT_TRUE(alert()) << refused;
        EXPECT_EQ(alert()->title(), std::optional<std::string>(told)) << refused;
        tapAlert("ok");
        EXPECT_EQ(editor->data[0]->ZLAVA3, "0.0") << refused;
    }
    EXPECT_TRUE(errorSoundPlayed());
    editor->dodZlava("7,990");  // a third place of 0 changes nothing
    EXPECT_EQ(editor->data[0]->ZLAVA3, "7.990");
    editor->dodZlava("7,5");
    EXPECT_EQ(editor->data[0]->ZLAVA3, "7.5");
    editor->dodZlava("");  // an empty entry keeps the discount
    EXPECT_FALSE(alert());
    EXPECT_EQ(editor->data[0]->ZLAVA3, "7.5");
}

TEST_F(SalesTest, BatchQuantityAndLineDiscountAreRefusedUnlessTheyAreNumbersInRange) {
    document("kvet", "hotovosť");  // T001: MAXZLA 3.0, first batch 12
    pick("T001", 0, "13", "");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->message(), std::optional<std::string>("číslo je mimo dovolený rozsah"));
    tapAlert("ok");
    auto batches = topAs<DatumSpotreby>();
    ASSERT_TRUE(batches);
    for (const char* refused : {"2.5", "2x", "-1"}) {
        batches->mnozstvoOk(refused);
        ASSERT_TRUE(alert()) << refused;
        const std::string told = refused == std::string("2x")    ? "zadaný text nie je číslo"
                                 : refused == std::string("2.5") ? "zadané číslo nie je celé"
                                                                 : "číslo je mimo dovolený rozsah";
        EXPECT_EQ(alert()->message(), std::optional<std::string>(told)) << refused;
        tapAlert("ok");
        EXPECT_EQ(batches->tovarItem->VYBRANE, "0") << refused;
    }
    for (const char* refused : {"abc", "-0,5", "3,01"}) EXPECT_FALSE(batches->checkZlava(refused)) << refused;
    EXPECT_TRUE(batches->checkZlava("3"));
    batches->mnozstvoOk("12");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("zadajte zľavu"));
    typeInAlert("");
    tapAlert("ok");  // empty: the line keeps its discount
    EXPECT_EQ(batches->tovarItem->VYBRANE, "12");
    EXPECT_EQ(batches->tovarItem->ZLAVA1, "3.0");
    // Typing the batch again replaces its quantity.
    pick("T001", 0, "5", "1,5");
    EXPECT_EQ(batches->tovarItem->VYBRANE, "5");
    EXPECT_EQ(batches->tovarItem->ZLAVA1, " 1.50");
    // A discount finer than hundredths is refused, not rounded; one above
    // the maximum is out of range, with a fraction or without.
    for (const auto& [refused, told] : {std::pair{"1,555", "zľava môže mať najviac dve desatinné miesta!"},
                                        {"3,5", "číslo je mimo dovolený rozsah"},
                                        {"4", "číslo je mimo dovolený rozsah"}}) {
        pick("T001", 0, "5", refused);
        ASSERT_TRUE(alert()) << refused;
        EXPECT_EQ(alert()->message(), std::optional<std::string>(told)) << refused;
        tapAlert("ok");
        EXPECT_EQ(batches->tovarItem->ZLAVA1, " 1.50") << refused;
    }
}

TEST_F(SalesTest, QuantityWhoseAmountsLeaveTheExactRangeIsRefused) {
    openFromMain("príjem");
    tapRow("tovar");
    pick("T001", 0, "99999999999");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->message(), std::optional<std::string>("suma dokladu mimo povoleného rozsahu"));
    tapAlert("ok");
    EXPECT_EQ(topAs<DatumSpotreby>()->tovarItem->VYBRANE, "0");
    // Within the range the editor, the confirmation and the document agree
    // to the cent.
    pick("T001", 0, "9999999999");
    backToEditor();
    const std::string shown = topAs<Polozky>()->labelSuma.lock()->text().value_or("");
    EXPECT_NE(Hotovo::stranka().find("hodnota dokladu: " + shown), std::string::npos) << shown;
    confirm();
    EXPECT_EQ(scalar("select printf('%13.2f', sumdokz) from vety where cdok = " + lastCdok()), shown);
}

TEST_F(SalesTest, DiscountTypedAsMinusZeroIsZero) {
    document("kvet", "hotovosť");
    pick("T001", 0, "13", "");  // more than the batch holds: the batch screen stays
    tapAlert("ok");
    auto batches = topAs<DatumSpotreby>();
    batches->mnozstvoOk("1");
    // Pasted: the decimal pad has no minus key.
    alert()->textFields().front()->setText(std::string("-0"));
    tapAlert("ok");
    EXPECT_EQ(batches->tovarItem->ZLAVA1, " 0.00");
    backToEditor();
    auto editor = topAs<Polozky>();
    editor->dodZlava("-0,0");
    EXPECT_EQ(editor->data[0]->ZLAVA3, "0.0");
    confirm();
    EXPECT_EQ(scalar("select zlava1 || ' ' || zlavac from polo where cdok = " + lastCdok()), "0.0 0.0");
}

TEST_F(SalesTest, KilometreReadingIsStoredWhenItIsANumberWhoeverDrives) {
    settings().KILOMETRE = "A";
    exec("update km set hodnota = 1000");
    customer("kvet");
    typeInAlert("");  // emptied: the old reading stays
    tapAlert("ok");
    tapAlert("áno");
    EXPECT_EQ(scalar("select hodnota from km"), "1000");
    ASSERT_TRUE(topMenu());
    nav->popViewController(false);
    topAs<Odberatel>()->tableView.lock()->tapRow({0, 0});
    drain();
    typeInAlert("1500");
    tapAlert("ok");
    tapAlert("nie");  // not the vehicle's own driver: back to the login, the reading kept
    EXPECT_EQ(scalar("select hodnota from km"), "1500");
    EXPECT_TRUE(std::dynamic_pointer_cast<Login>(top()));
}

TEST_F(SalesTest, ResultTextsWithoutSeparatorsAreShownWhole) {
    document("kvet", "hotovosť");
    auto editor = topAs<Polozky>();
    editor->zobrazVysledok("chyba bez oddelovaca");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("chyba bez oddelovaca"));
    EXPECT_EQ(alert()->message(), std::optional<std::string>(""));
    tapAlert("ok");
    editor->zobrazVysledok("ok! ,,bez cisla");
    EXPECT_EQ(alert()->message(), std::optional<std::string>("bez cisla"));
    tapAlert("áno");  // no number: no preview
    EXPECT_EQ(top(), editor);
}

TEST_F(SalesTest, ConfirmationShowsLoyaltyOnlyForSalesOfMembers) {
    document("kvet", "hotovosť");
    auto& korunka = *sharedTrekora().selectedKorunkaItem;
    sharedTrekora().selectedSumdokz = "        12.5";
    korunka.KORUNKA = "Ano";
    EXPECT_NE(Hotovo::stranka().find("do splenia korunky chyba:"), std::string::npos);
    korunka.KORUNKA = "";
    EXPECT_NE(Hotovo::stranka().find(" hodnota dokladu:      12.50"), std::string::npos);
    korunka.KORUNKA = "ANO";
    sharedTrekora().selectedTypDokladuItem->pohyb = 50;
    EXPECT_EQ(Hotovo::stranka().find("korunka:"), std::string::npos);
}

TEST_F(SalesTest, CustomerSearchIgnoresCaseButNotDiacritics) {
    tapRow("predaj");
    auto picker = topAs<Odberatel>();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->title(), std::optional<std::string>("odberatelia: 21 / 21"));
    auto bar = picker->searchBar.lock();
    EXPECT_EQ(bar->keyboardType(), platform::KeyboardType::numberPad);
    bar->enterText("036");  // digits of postal codes and numbers
    EXPECT_EQ(picker->title(), std::optional<std::string>("odberatelia: 3 / 21"));
    bar->selectScope(1);
    EXPECT_EQ(bar->keyboardType(), platform::KeyboardType::defaultType);
    EXPECT_EQ(picker->filteredData.size(), 3u);  // the scope does not filter
    bar->enterText("KAVIAREŇ");
    ASSERT_EQ(picker->filteredData.size(), 2u);
    bar->enterText("kaviaren");
    EXPECT_TRUE(picker->filteredData.empty());
    bar->enterText("");
    EXPECT_EQ(picker->filteredData.size(), 21u);

    EXPECT_EQ(SearchText::fold("NOVA\xCC\x81K"), SearchText::fold("Novák"));  // decomposed á
    EXPECT_TRUE(SearchText::matches({"", SearchText::fold("Ján Novák")}, SearchText::fold("NOV")));
    EXPECT_FALSE(SearchText::matches({SearchText::fold("Ján Novák")}, SearchText::fold("novak")));
}
