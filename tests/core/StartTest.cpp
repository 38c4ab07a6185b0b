#include "support/TrekoraTestEnvironment.h"

#include "core/OdoslaneCisla.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "platform/FileManager.h"
#include "platform/LocationManager.h"
#include "platform/SystemSounds.h"
#include "platform/Wifi.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "report/DataItem.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class StartTest : public TrekoraTest {};

bool hasLine(platform::Console::Capture& console, const std::string& line) { return console.contains(line); }

} // namespace

TEST_F(StartTest, FirstStartCopiesTheDatabaseAndALaterStartKeepsIt) {
    const std::string db = env().documentsPath("trekora.db3");
    ASSERT_FALSE(platform::FileManager::fileExists(db));
    EXPECT_EQ(trekora().dbURL, db);
    EXPECT_TRUE(platform::FileManager::fileExists(db));
    EXPECT_TRUE(hasLine(console(), "copy ok"));

    // Write something into the copy, start again: the copy stays as it is.
    trekora().km = "777777";
    trekora().writeKm();
    env().restart();
    console().clear();
    EXPECT_EQ(trekora().dbURL, db);
    EXPECT_TRUE(hasLine(console(), "can't copy"));
    trekora().readKm();
    EXPECT_EQ(trekora().km, "777777");

    // Deleted copy: the next start copies the delivered file again.
    env().restart();
    ASSERT_TRUE(platform::FileManager::removeItem(db));
    trekora().readKm();
    EXPECT_EQ(trekora().km, "184310");
}

TEST_F(StartTest, ADatabaseThatStartsAgainNumbersAboveTheNumbersThatLeftTheDevice) {
    // The working database was lost after document 1011 had left the device:
    // the shipped copy that takes its place goes on at 1012, not 1008.
    ASSERT_EQ(trekora().getCdok("1"), "1008");
    env().restart();
    ASSERT_TRUE(platform::FileManager::removeItem(env().documentsPath("trekora.db3")));
    ASSERT_TRUE(platform::FileManager::writeFile(env().documentsPath("posledna_uzavierka.txt"), "1011\n"));
    EXPECT_EQ(trekora().getCdok("1"), "1012");
    // A later start leaves a numbering already above the record as it is.
    env().restart();
    EXPECT_EQ(trekora().getCdok("1"), "1012");
    // Blanks and line ends around the number, as a person or another tool
    // may leave them, are read past.
    for (const std::string record : {" 5000", "6000\r\n"}) {
        env().restart();
        ASSERT_TRUE(platform::FileManager::writeFile(env().documentsPath("posledna_uzavierka.txt"), record));
        EXPECT_EQ(trekora().getCdok("1"), std::to_string(std::stoll(record) + 1));
    }
}

TEST_F(StartTest, ARecordOfNumbersThatCannotBeReadIsKeptAsideAndWrittenAnewFromTheDatabase) {
    const std::string record = env().documentsPath("posledna_uzavierka.txt");
    const OdoslaneCisla cisla(env().documents());
    for (const std::string damaged : {"50x0\n", "1000000000000000000\n"}) {
        ASSERT_TRUE(platform::FileManager::writeFile(record, damaged));
        const auto refused = cisla.zaznamenaj(1009);
        ASSERT_TRUE(refused) << damaged;
        EXPECT_NE(refused->find("je odložený ako posledna_uzavierka.poskodeny-"), std::string::npos) << *refused;
        EXPECT_EQ(platform::FileManager::contents(record), damaged);
    }
    EXPECT_EQ(platform::FileManager::contents(env().documentsPath("posledna_uzavierka.poskodeny-1.txt")), "50x0\n");
    EXPECT_EQ(platform::FileManager::contents(env().documentsPath("posledna_uzavierka.poskodeny-2.txt")),
              "1000000000000000000\n");

    // With the database, the way back to work: the record is written anew
    // with the highest number the database and the damaged bytes know, the
    // number is refused once with the reason, and the next one goes.
    const OdoslaneCisla sDatabazou(env().documents(), trekora().dbURL);
    for (const auto& [damaged, anew] : {std::pair<std::string, std::string>{"x\n", "1007"}, {"5x000\n", "1007"},
                                        {"50x00 1013", "1013"}}) {
        ASSERT_TRUE(platform::FileManager::writeFile(record, damaged));
        const auto refused = sDatabazou.zaznamenaj(1006);
        ASSERT_TRUE(refused) << damaged;
        EXPECT_NE(refused->find("zapísal sa znova s číslom " + anew), std::string::npos) << *refused;
        EXPECT_EQ(platform::FileManager::contents(record), anew + "\n");
        EXPECT_FALSE(sDatabazou.zaznamenaj(1008));
    }
    EXPECT_EQ(platform::FileManager::contents(record), "1013\n");
}

TEST_F(StartTest, FieldsHaveTheirDefaultsAfterConstruction) {
    Trekora& t = trekora();
    EXPECT_EQ(t.version, "2.24");
    EXPECT_EQ(t.dbFileName, "trekora.db3");
    EXPECT_EQ(t.logFileName, "trekora.log");
    EXPECT_EQ(t.systemPin, 38274);
    EXPECT_EQ(t.systemPrvocislo, 839);
    EXPECT_EQ(t.xmlFileName, "trekora_ekasa.xml");
    EXPECT_EQ(t.xmlFileName2, "trekora_lx300.xml");
    EXPECT_EQ(t.km, "0");
    EXPECT_EQ(t.fiskalCommand, FiskalCommand::testWifi);
    EXPECT_EQ(static_cast<int>(t.fiskalCommand), 14);
    EXPECT_FALSE(t.selectedObj.has_value());
    EXPECT_FALSE(t.selectedObjData.has_value());
    for (const std::string* s : {&t.idu, &t.meno, &t.priezvisko, &t.str, &t.spz, &t.info, &t.facvset, &t.facnas,
                                 &t.parcdok, &t.objcdok, &t.trasa, &t.datum3, &t.selectedSumdokz,
                                 &t.selectedSumdokzDoKorunky, &t.printingId, &t.printingCdok, &t.fiskalTxt,
                                 &t.fiskalTxt2, &t.previewTxt, &t.foundCharacters, &t.currentElement,
                                 &t.datumAktualizacieNaServeri, &t.datumAktualizacieLokalne})
        EXPECT_EQ(*s, "");
    ASSERT_TRUE(t.nastaveniaItem);
    EXPECT_EQ(t.nastaveniaItem->KILOMETRE, "");
    ASSERT_TRUE(t.selectedOdberatelItem);
    EXPECT_EQ(t.selectedOdberatelItem->IDO, "");
    ASSERT_TRUE(t.selectedTypDokladuItem);
    EXPECT_EQ(t.selectedTypDokladuItem->pohyb, 0);
    EXPECT_TRUE(t.selectedTovarItem && t.selectedKorunkaItem && t.selectedParameterItem);
    EXPECT_TRUE(t.helpDataItem && t.helpReport && t.helpSection && t.locationManager);
    EXPECT_TRUE(t.printingDoklad.empty());
    EXPECT_TRUE(t.fiskalCommandParameters.empty());
    EXPECT_TRUE(t.cislaObjednavokNaImport.empty());
    EXPECT_TRUE(t.odberatelArray.empty() && t.tovarArray.empty() && t.tempVetyArray.empty());
}

TEST_F(StartTest, BothReportFilesAreParsedAndTheWorkingListIsEmptied) {
    Trekora& t = trekora();
    EXPECT_FALSE(t.dataItems.empty());
    EXPECT_TRUE(t.helpDataItems.empty());
    auto named = [&](const char* name) {
        for (const auto& item : t.dataItems)
            if (item->name == name) return item;
        return std::shared_ptr<DataItem>();
    };
    for (const char* name : {"sklad_nenulove", "sklad_pos_nenulove", "sklad_vzo_nenulove", "sklad_kor_nenulove"}) {
        auto item = named(name);
        ASSERT_TRUE(item) << name;
        EXPECT_NE(item->selectQuery.find_first_not_of(" \t\r\n"), std::string::npos) << name;
    }
    EXPECT_TRUE(hasLine(console(), "start parsing ...trekora_ekasa.xml"));
    EXPECT_TRUE(hasLine(console(), "start parsing ...trekora_lx300.xml"));
}

TEST_F(StartTest, TheSharedObjectIsBuiltOnce) {
    Trekora& a = sharedTrekora();
    console().clear();
    Trekora& b = sharedTrekora();
    EXPECT_EQ(&a, &b);
    EXPECT_FALSE(hasLine(console(), "copyFile"));
}

TEST_F(StartTest, LocationAuthorisationAlreadyGrantedPrintsTheNetworkOnce) {
    platform::Wifi::simulate("TREKORA-TEST");
    platform::LocationManager::setSimulatedStatus(platform::AuthorizationStatus::authorizedWhenInUse);
    Trekora& t = trekora();
    EXPECT_EQ(t.locationManager->authorizationRequests(), 0);
    EXPECT_EQ(t.locationManager->delegate(), nullptr);
    int count = 0;
    for (const auto& line : console().lines()) count += line == "SSID: TREKORA-TEST";
    EXPECT_EQ(count, 1);
}

TEST_F(StartTest, LocationAuthorisationIsRequestedAndTheGrantPrintsTheNetwork) {
    platform::Wifi::simulate("TREKORA-TEST");
    platform::LocationManager::setSimulatedStatus(platform::AuthorizationStatus::notDetermined);
    platform::LocationManager::setSimulatedAnswer(platform::AuthorizationStatus::authorizedWhenInUse);
    Trekora& t = trekora();
    EXPECT_EQ(t.locationManager->authorizationRequests(), 1);
    EXPECT_TRUE(hasLine(console(), "SSID: TREKORA-TEST"));

    // Other statuses say nothing.
    console().clear();
    t.locationManagerDidChangeAuthorization(*t.locationManager, platform::AuthorizationStatus::denied);
    t.locationManagerDidChangeAuthorization(*t.locationManager, platform::AuthorizationStatus::authorizedAlways);
    EXPECT_TRUE(console().lines().empty());
}

TEST_F(StartTest, TheFiveSoundsAreRegisteredFromTheResources) {
    Trekora& t = trekora();
    const std::vector<std::pair<std::uint32_t, std::string>> sounds = {
        {t.soundId2, "zvuk2.mp3"}, {t.soundId3, "zvuk3.mp3"}, {t.soundId4, "zvuk4.mp3"},
        {t.soundId5, "zvuk5.mp3"}, {t.soundPrint, "WorkoutCountdown_Haptic.caf"}};
    std::set<std::uint32_t> ids;
    for (const auto& [id, file] : sounds) {
        SCOPED_TRACE(file);
        EXPECT_NE(id, 0u);
        ids.insert(id);
        auto registered = platform::SystemSounds::file(id);
        ASSERT_TRUE(registered);
        EXPECT_EQ(platform::FileManager::lastPathComponent(*registered), file);
    }
    EXPECT_EQ(ids.size(), sounds.size());

    // The print sound plays the registered sound, not a fixed one.
    platform::SystemSounds::clearPlayed();
    t.playSoundPrint();
    ASSERT_FALSE(platform::SystemSounds::played().empty());
    EXPECT_EQ(platform::SystemSounds::played().front(), (platform::SystemSounds::Played{t.soundPrint, false}));
}
