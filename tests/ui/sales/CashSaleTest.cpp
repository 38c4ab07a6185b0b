// A cash sale from the customer picker to "zobraziť doklad?", the cash limit,
// and the editor writing its document only once.
#include "SalesFixture.h"

#include "records/KorunkaItem.h"

TEST_F(SalesTest, CashSaleWithBatchesLineAndExtraDiscountIsWrittenAsShown) {
    settings().KILOMETRE = "A";
    exec("update km set hodnota = 1000");
    customer("kvet");
    // The kilometre prompt, then the substitute question (user 1, centre 12).
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("kilometre"));
    typeInAlert("1234");
    tapAlert("ok");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("náhradník?"));
    EXPECT_EQ(scalar("select hodnota from km"), "1234");  // stored before the question
    tapAlert("áno");
    EXPECT_EQ(scalar("select hodnota from km"), "1234");
    tapRow("hotovosť");

    auto editor = topAs<Polozky>();
    ASSERT_TRUE(editor);
    pick("T001", 0, "2", "2,5");
    pick("T006", 1, "3", "");  // an empty discount keeps the price list's
    backToEditor();
    EXPECT_EQ(editor->data.size(), 2u);
    EXPECT_EQ(editor->data[0]->ZLAVA1, " 2.50");
    EXPECT_EQ(editor->data[1]->ZLAVA1, "3.0");
    editor->dodZlava("5");
    EXPECT_EQ(editor->data[0]->ZLAVA3, "5");
    const std::string shown = sharedTrekora().selectedSumdokz;

    editor->hotovoTapped();
    auto hotovo = topAs<Hotovo>();
    ASSERT_TRUE(hotovo);
    // The account stores "ANO": a customer in the programme sees his points.
    EXPECT_NE(hotovo->webView->html()->find("do splenia korunky chyba:"), std::string::npos);
    hotovo->zapisatDoklad();
    drain();

    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("zobraziť doklad?"));
    const std::string cdok = lastCdok();
    EXPECT_EQ(alert()->message(), std::optional<std::string>("cdok=" + cdok));
    const std::string id = "(select id from vety where cdok = " + cdok + ")";
    EXPECT_EQ(scalar("select pohyb || ' ' || km || ' ' || idosc from vety where id = " + id), "10 1234 10103-01");
    EXPECT_EQ(scalar("select printf('%.2f', sumdokz) from vety where id = " + id),
              scalar("select printf('%.2f', sum(ccsum)) from polo where vety_id = " + id));
    EXPECT_EQ(scalar("select printf('%.2f', sumdokz) from vety where id = " + id),
              scalar("select printf('%.2f', " + shown + ")"));
    EXPECT_EQ(scalar("select group_concat(idtov || ':' || mnoz || ':' || zlava1 || ':' || zlavac || ':' || "
                     "datumspotreby, ' ') from polo where vety_id = " + id),
              "T001:2.0:2.5:5.0:2027-05-31 T006:3.0:3.0:5.0:2027-06-30");
    EXPECT_EQ(scalar("select stav from sklad_sarza where idtov = 'T001' and datumspotreby = '2027-05-31'"), "10.0");
    EXPECT_EQ(scalar("select stav from sklad_sarza where idtov = 'T006' and datumspotreby = '2027-06-30'"), "69.0");

    // The same editor confirmed again writes nothing more.
    const int documents = count("select count(*) from vety");
    alert()->dismiss(false);
    confirm();
    EXPECT_EQ(count("select count(*) from vety"), documents);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("zobraziť doklad?"));
    EXPECT_EQ(alert()->message(), std::optional<std::string>("cdok=" + cdok));
}

TEST_F(SalesTest, CashLimitRefusesTheSaleUntilItIsLowered) {
    settings().MAXSUMAHOTOVOSTI = "50";
    document("kvet", "hotovosť");
    pick("T001", 0, "5", "");
    backToEditor();
    const int documents = count("select count(*) from vety");
    confirm();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("chyba! "));
    EXPECT_EQ(alert()->message(), std::optional<std::string>("prekročená_max_suma_hotovosti"));
    EXPECT_TRUE(errorSoundPlayed());
    EXPECT_EQ(count("select count(*) from vety"), documents);
    tapAlert("ok");
    EXPECT_EQ(topAs<Polozky>()->selectedAction, "");

    pick("T001", 0, "2", "");  // the batch's quantity replaced
    backToEditor();
    EXPECT_EQ(count("select count(*) from vety"), documents);  // coming back writes nothing
    confirm();
    EXPECT_EQ(alert()->title(), std::optional<std::string>("zobraziť doklad?"));
    EXPECT_EQ(count("select count(*) from vety"), documents + 1);
    EXPECT_EQ(scalar("select sum(mnoz) from polo where cdok = " + lastCdok()), "2.0");
    // "áno" opens the preview of the new document; back from it closes the editor.
    tapAlert("áno");
    EXPECT_EQ(sharedTrekora().printingDoklad["CDOK"], lastCdok());
    nav->popViewController(false);
    drain();
    EXPECT_TRUE(topMenu());
}
