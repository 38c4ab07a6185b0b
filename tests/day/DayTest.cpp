// A working day through the screens, step by step as a salesman goes, with
// the database and what the office and the printer received checked after
// every step.
#include "DayFixture.h"

#include <algorithm>

#include "core/ZaevidovaneDoklady.h"
#include "platform/FileManager.h"
#include "platform/Numbers.h"
#include "ui/orders/Doklady.h"
#include "ui/orders/ObjednavkaPolozky.h"
#include "ui/orders/Objednavky.h"
#include "ui/sales/Lookup.h"

TEST_F(DayTest, FromTheMorningSynchronisationToTheEveningOne) {
    // Logged in with the demo PIN (the fixture): the main menu is up.
    ASSERT_TRUE(topMenu());

    // --- morning: the synchronisation brings the office's update ---------------
    const std::string versionBefore = scalar("select akcen from verzia");
    ASSERT_EQ(synchronise(), "hotovo");
    EXPECT_NE(scalar("select akcen from verzia"), versionBefore);
    EXPECT_EQ(scalar("select nazov || ' ' || popis from zlava where id = 900"), "Zimná akcia stredisko 12");
    auto uploads = office.uploads();
    ASSERT_EQ(uploads.size(), 2u);
    EXPECT_NE(uploads[0].fileName.find("_12_backup_"), std::string::npos) << uploads[0].fileName;
    EXPECT_EQ(uploads[0].bytes.substr(0, 2), "PK");
    EXPECT_EQ(uploads[1].fileName.substr(uploads[1].fileName.size() - 4), ".log");
    EXPECT_TRUE(platform::FileManager::contentsOfDirectory(documents + "/out").value_or(std::vector<std::string>{"?"}).empty());

    // --- a cash sale of two goods from batches, printed on the FT5000 ------------
    backToMain();
    const int documentsBefore = count("select count(*) from vety");
    document("kvet", "hotovosť");
    pick("T001", 0, "2", "");
    pick("T006", 1, "3", "");
    backToEditor();
    confirm();
    const std::string sale = lastCdok();
    EXPECT_EQ(count("select count(*) from vety"), documentsBefore + 1);
    EXPECT_EQ(doc(sale, "pohyb || ' ' || idosc"), "10 10103-01");
    EXPECT_EQ(scalar("select group_concat(idtov || ':' || mnoz || ':' || datumspotreby, ' ') from polo where cdok = " +
                     sale),
              "T001:2.0:2027-05-31 T006:3.0:2027-06-30");
    EXPECT_EQ(doc(sale, "printf('%.2f', sumdokz)"),
              scalar("select printf('%.2f', sum(ccsum)) from polo where cdok = " + sale));
    EXPECT_EQ(batch("T001", "2027-05-31"), "10.0");
    EXPECT_EQ(batch("T006", "2027-06-30"), "69.0");
    ASSERT_EQ(printShown("FT5000"), "OK");
    ASSERT_TRUE(fiscal.waitForClose());
    const std::string receipt = fiscal.received();
    EXPECT_EQ(receipt.rfind("\x1bt\x12", 0), 0u) << "code table 18 first";
    EXPECT_NE(receipt.find(cp852("POKLADNIČNÝ DOKLAD č. " + sale)), std::string::npos);
    EXPECT_NE(receipt.find(cp852("Káva zrnková Espresso")), std::string::npos);
    EXPECT_NE(receipt.find(cp852("Čokoláda mliečna")), std::string::npos);
    EXPECT_NE(receipt.find(doc(sale, "printf('%.2f', sumdokz)")), std::string::npos);
    EXPECT_EQ(receipt.substr(receipt.size() - 2), "\r\n");
    EXPECT_EQ(receipt.find("ESC"), std::string::npos) << "printer commands are sent as bytes";

    // --- the same sale through the fiscal service instead ----------------------------
    const std::string total = doc(sale, "printf('%.2f', sumdokz)");
    printer1("EKASA", service.port());
    auto openSale = [&] {
        backToMain();
        tapRow("doklady");
        auto doklady = topAs<Doklady>();
        ASSERT_TRUE(doklady);
        doklady->tableView.lock()->tapRow({0, 0});  // the newest first
        ASSERT_EQ(sharedTrekora().printingDoklad["CDOK"], sale);
    };
    openSale();
    ASSERT_EQ(printPreview("EKASA"), "OK");
    const auto stored = service.requests("/api/document/store");
    ASSERT_EQ(stored.size(), 1u);
    const auto registered = nlohmann::json::parse(stored[0].body, nullptr, false);
    ASSERT_TRUE(registered.is_object()) << stored[0].body;
    EXPECT_EQ(registered["externalId"], sale);
    ASSERT_EQ(registered["items"].size(), 2u);
    EXPECT_EQ(registered["items"][1]["name"], "Čokoláda mliečna 100 g");
    EXPECT_EQ(platform::format("%.2f", registered["payments"][0]["amount"].get<double>()), total);
    EXPECT_EQ(doc(sale, "uid || ' ' || okp || ' ' || pardok || ' ' || datum_vytvor"),
              "O-1001-UID OKP-1-ABCD 20260300001 2026-03-15 10:20:30");
    // A second print of it is refused: it already carries the service's number.
    openSale();
    topAs<Preview>()->tlacTapped();
    drain();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "doklad uz bol vytlaceny cez ekasu!");
    tapAlert("nie");
    EXPECT_EQ(service.registered(), 1u);
    printer1("FT5000", fiscal.port());
    backToMain();
    customer("kvet");
    ASSERT_TRUE(topMenu());

    // --- an invoice, and a credit note against it ---------------------------------
    const std::string t002 = batch("T002", "2027-03-31");
    tapRow("faktúra");
    topAs<Parametre>()->pouzitTapped();
    pick("T002", 0, "4", "1");
    backToEditor();
    confirm();
    const std::string invoice = lastCdok();
    EXPECT_EQ(doc(invoice, "pohyb || ' ' || idosc"), "20 10103-01");
    EXPECT_EQ(scalar("select idtov || ':' || mnoz || ':' || zlava1 from polo where cdok = " + invoice), "T002:4.0:1.0");
    EXPECT_EQ(std::stod(batch("T002", "2027-03-31")), std::stod(t002) - 4);
    // Printed on the dot-matrix printer, in its code page.
    printer1("ESP", dotMatrix.port());
    ASSERT_EQ(printShown("ESP"), "OK");
    ASSERT_EQ(dotMatrix.jobs().size(), 1u);
    const std::string page = dotMatrix.jobs()[0].body;
    EXPECT_NE(page.find(cp852("FAKTÚRA č. " + invoice)), std::string::npos) << page;
    EXPECT_NE(page.find(cp852("Kaviareň Kvet")), std::string::npos);
    EXPECT_NE(page.find(cp852("Káva mletá Classic")), std::string::npos);
    EXPECT_EQ(page.find("FAKT\xc3\x9a"), std::string::npos) << "no UTF-8 on the wire";
    printer1("FT5000", fiscal.port());
    while (!topMenu()) nav->popViewController(false);
    drain();

    tapRow("dobropis");
    auto parametre = topAs<Parametre>();
    ASSERT_TRUE(parametre);
    parametre->tableView.lock()->tapRow({0, 1});
    auto lookup = topAs<Lookup>();
    ASSERT_TRUE(lookup);
    ASSERT_FALSE(lookup->data.empty());
    EXPECT_EQ(lookup->data[0]["CDOK"], invoice);
    lookup->tableView.lock()->tapRow({0, 0});
    parametre->pouzitTapped();
    pick("T002", 0, "-1", "");
    backToEditor();
    confirm();
    const std::string credit = lastCdok();
    EXPECT_EQ(doc(credit, "pohyb || ' ' || parcdok"), "21 " + invoice);
    EXPECT_EQ(scalar("select sum(mnoz) from polo where cdok = " + credit), "-1.0");
    EXPECT_EQ(std::stod(batch("T002", "2027-03-31")), std::stod(t002) - 3);
    EXPECT_LT(std::stod(doc(credit, "sumdokz")), 0.0);
    tapAlert("nie");
    nav->popViewController(false);
    drain();

    // --- an order for delivery, sent to the office ---------------------------------
    desk.setLastCdok("12", std::stoll(lastCdok()));
    tapRow("objednávka na závoz");
    pick("T012", 0, "12", "");
    backToEditor();
    confirm();
    const std::string order = lastCdok();
    EXPECT_EQ(doc(order, "pohyb || ' ' || info"), "40 ZAVOZ:sklad Žilina");
    tapAlert("nie");
    std::string summary;
    EXPECT_EQ(connect("export objednávok na závoz", &summary).rfind("hotovo", 0), 0u) << summary;
    EXPECT_EQ(summary, "exportovaných 1 z 1");
    ASSERT_EQ(desk.exportedOrders().size(), 1u);
    const auto sent = desk.exportedOrders()[0];
    ASSERT_TRUE(sent.contains("CDOK")) << sent.dump();
    EXPECT_EQ(sent["CDOK"].is_string() ? sent["CDOK"].get<std::string>() : sent["CDOK"].dump(), order);
    EXPECT_NE(sent.dump().find("\"T012\""), std::string::npos) << sent.dump();

    // --- the orders the office prepared, received ----------------------------------
    desk.prepare(OfficeDay::preparedOrder());
    const std::string received = std::to_string(OfficeDay::orderCdok);
    EXPECT_EQ(connect("import objednávok na závoz", &summary).rfind("hotovo", 0), 0u) << summary;
    EXPECT_EQ(summary, "importovaých 1 z 1");
    EXPECT_EQ(scalar("select idosc || ' ' || info from obj_vety where cdok = " + received), "10103-01 ZAVOZ: do obeda");
    EXPECT_EQ(scalar("select group_concat(idtov || ':' || mnoz, ' ') from obj_polo where cdok = " + received),
              "T001:2.0 T006:4.0");
    EXPECT_EQ(desk.delivered(), (std::set<std::string>{received}));

    // --- the received order turned into a cash sale ---------------------------------
    const std::string t001 = batch("T001", "2027-05-31");
    backToMain();
    openFromMain("objednávky na závoz");
    auto orders = topAs<Objednavky>();
    ASSERT_TRUE(orders);
    int row = -1;
    for (std::size_t i = 0; i < orders->filteredData.size(); ++i)
        if (orders->filteredData[i].at("CDOK") == received) row = static_cast<int>(i);
    ASSERT_GE(row, 0);
    orders->tableView.lock()->tapRow({0, row});
    auto orderLines = topAs<ObjednavkaPolozky>();
    ASSERT_TRUE(orderLines);
    orderLines->akciaTapped();
    tapAlert("hotovosť");
    ASSERT_TRUE(topAs<Polozky>());
    confirm();
    const std::string delivery = lastCdok();
    EXPECT_EQ(doc(delivery, "pohyb || ' ' || idosc || ' ' || objcdok"), "10 10103-01 " + received);
    EXPECT_EQ(scalar("select group_concat(idtov || ':' || m, ' ') from (select idtov, sum(mnoz) m from polo where "
                     "cdok = " + delivery + " group by idtov)"),
              "T001:2.0 T006:4.0");
    EXPECT_EQ(std::stod(batch("T001", "2027-05-31")), std::stod(t001) - 2);
    EXPECT_EQ(doc(delivery, "printf('%.2f', sumdokz)"),
              scalar("select printf('%.2f', sum(ccsum)) from polo where cdok = " + delivery));
    tapAlert("nie");

    // --- a cash deposit ------------------------------------------------------------
    backToMain();
    openFromMain("uzávierka");
    tapRow("vklad");
    typeInAlert("25,50");
    tapAlert("ok");
    const std::string deposit = lastCdok();
    EXPECT_EQ(doc(deposit, "pohyb || ' ' || printf('%.2f', sumdokz)"), "7 25.50");
    ASSERT_TRUE(alert());
    tapAlert("nie");

    // --- the daily closing, printed ------------------------------------------------
    const std::size_t printedBefore = fiscal.received().size();
    tapRow("denná uzávierka");
    tapAlert("áno");
    const std::string closing = lastCdok();
    EXPECT_EQ(doc(closing, "pohyb"), "90");
    EXPECT_EQ(count("select count(*) from vety where cdok in (" + sale + "," + invoice + "," + credit + "," + order +
                    "," + delivery + "," + deposit + ") and ducis = (select ducis from vety where cdok = " + closing + ")"),
              6);
    EXPECT_TRUE(platform::FileManager::fileExists(documents + "/out/" + closing + ".db3"));
    ASSERT_EQ(printShown("FT5000"), "OK");
    platform::MainRunLoop::runUntil([&] { return fiscal.received().size() > printedBefore; },
                                    std::chrono::milliseconds(5000));
    ASSERT_TRUE(fiscal.waitForClose());
    const std::string closingPrint = fiscal.received().substr(printedBefore);
    EXPECT_NE(closingPrint.find(cp852("DENNÁ UZÁVIERKA č. " + closing)), std::string::npos) << closingPrint;
    EXPECT_NE(closingPrint.find("25.50"), std::string::npos);

    // --- evening: the synchronisation sends the archive, the closing and the log ----
    ASSERT_EQ(synchronise(), "hotovo");
    uploads = office.uploads();
    ASSERT_EQ(uploads.size(), 5u);
    std::vector<std::string> names;
    for (std::size_t i = 2; i < uploads.size(); ++i) names.push_back(uploads[i].fileName);
    EXPECT_NE(std::find(names.begin(), names.end(), closing + ".db3"), names.end());
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& n) { return n.find("_backup_") != std::string::npos; }),
              2);  // the archive and its log
    EXPECT_TRUE(platform::FileManager::contentsOfDirectory(documents + "/out").value_or(std::vector<std::string>{"?"}).empty());
}

TEST_F(DayTest, TheFiscalServiceWritesBackIntoTheDocumentPrinted) {
    printer1("EKASA", service.port());
    // A sale and a deposit, each printed right after it is written.
    document("kvet", "hotovosť");
    pick("T001", 0, "2", "");
    backToEditor();
    confirm();
    const std::string sale = lastCdok();
    ASSERT_EQ(printShown("EKASA"), "OK");
    backToMain();
    openFromMain("uzávierka");
    tapRow("vklad");
    typeInAlert("25,50");
    tapAlert("ok");
    const std::string deposit = lastCdok();
    ASSERT_EQ(printShown("EKASA"), "OK");
    // A withdrawal, printed later from the document list.
    backToMain();
    openFromMain("uzávierka");
    tapRow("odvod");
    typeInAlert("10");
    tapAlert("ok");
    const std::string withdrawal = lastCdok();
    tapAlert("nie");
    backToMain();
    tapRow("doklady");
    topAs<Doklady>()->tableView.lock()->tapRow({0, 0});  // the newest first
    ASSERT_EQ(printPreview("EKASA"), "OK");
    EXPECT_EQ(doc(sale, "uid || ' ' || pardok"), "O-1001-UID 20260300001");
    EXPECT_EQ(doc(deposit, "uid || ' ' || pardok"), "O-1002-UID 20260300002");
    EXPECT_EQ(doc(withdrawal, "uid || ' ' || pardok"), "O-1003-UID 20260300003");

    // The synchronisation delivers a backup holding the three registrations,
    // and the record of registrations lets them go. The copy of the last
    // receipt then finds the withdrawal holding the service's very
    // registration: it is the device's own, nothing is written and nothing
    // is said beside "OK".
    ASSERT_EQ(synchronise(), "hotovo");
    const ZaevidovaneDoklady record(documents);
    ASSERT_EQ(record.zoznam().value_or(std::vector<ZaevidovaneDoklady::Registracia>(1)).size(), 0u);
    backToMain();
    openFromMain("uzávierka");
    platform::Wifi::simulate("TREKORA-ZA482KM");
    tapRow("kópia posledného dokladu");
    ASSERT_TRUE(waitForAlert("fiskal"));
    EXPECT_EQ(alert()->message(), "OK");
    tapAlert("ok");
    EXPECT_EQ(doc(withdrawal, "uid || ' ' || pardok"), "O-1003-UID 20260300003");
    EXPECT_EQ(record.zoznam()->size(), 0u);
}
