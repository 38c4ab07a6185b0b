#pragma once

// Shared set-up of the synchronisation tests: a fresh Documents folder and
// shared object, the demo user logged in, the settings pointed at a fake
// office on 127.0.0.1, short URL time-outs, and the connection screen in a
// visible navigation stack.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <string>

#include "fakes/FakeOffice.h"
#include "platform/Device.h"
#include "platform/FileManager.h"
#include "platform/MainRunLoop.h"
#include "platform/SystemSounds.h"
#include "platform/UrlSession.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "support/TrekoraTestEnvironment.h"
#include "sync/Spojenie.h"
#include "sync/SyncStoryboard.h"

class SyncTest : public TrekoraTest {
protected:
    void SetUp() override {
        TrekoraTest::SetUp();
        platform::UrlSession::setMaximumTimeout(1.0);
        platform::Device::setName("Predajca");
        platform::Application::shared().reset();
        platform::Storyboard::resetRegistry();
        SyncStoryboard::registerAll();
        platform::SystemSounds::clearPlayed();
        loginDemo();
        pointAt(*office);
        settings().ANIMOVAT_OKNA = "N";
        root = std::make_shared<platform::ViewController>();
        nav = platform::NavigationController::make(root);
        window = std::make_shared<platform::Window>();
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
    }

    void TearDown() override {
        platform::MainRunLoop::drain();
        window.reset();
        nav.reset();
        platform::Storyboard::resetRegistry();
        platform::Application::shared().reset();
        platform::UrlSession::setMaximumTimeout(std::nullopt);
        platform::Device::setName("");
        TrekoraTest::TearDown();
    }

    NastaveniaItem& settings() { return *trekora().nastaveniaItem; }
    void pointAt(const FakeOffice& server) {
        settings().IMPORT_PC_DIR = server.importDir();
        settings().BACKUP_PC_DIR = server.backupDir();
    }

    // Pushes a new connection screen for the job of `segue`.
    std::shared_ptr<Spojenie> open(const std::string& segue) {
        auto screen = platform::Storyboard::named("Main")->instantiate<Spojenie>("Spojenie");
        EXPECT_TRUE(screen);
        screen->selectedMenuItem->segue = segue;
        nav->pushViewController(screen, false);
        platform::MainRunLoop::drain();
        return screen;
    }

    std::shared_ptr<platform::AlertController> alert() const { return window->presentedAlert(); }
    void tapAlert(const std::string& button) {
        auto current = alert();
        ASSERT_TRUE(current) << "no alert to tap " << button;
        ASSERT_TRUE(current->tapAction(button)) << "no button " << button;
        platform::MainRunLoop::drain();
    }
    // Runs the main queue until the job's finish alert ("hotovo" or
    // "chyba!") is up; its title, "" when none came in time.
    std::string waitForFinish(std::chrono::milliseconds timeout = std::chrono::milliseconds(15000)) {
        auto finished = [this] {
            auto a = alert();
            return a && (a->title() == "hotovo" || a->title() == "chyba!");
        };
        platform::MainRunLoop::runUntil(finished, timeout);
        return finished() ? alert()->title().value_or("") : "";
    }
    // The code the service lock accepts for the challenge of the open prompt.
    std::string pinFor(const platform::AlertController& prompt) const {
        return std::to_string(std::stoll(prompt.message().value_or("0")) % 839);
    }

    std::string out(const std::string& name = "") { return env().documentsPath("out") + (name.empty() ? "" : "/" + name); }
    static std::string fileBytes(const std::string& path) { return platform::FileManager::contents(path).value_or(""); }
    std::string database() { return trekora().dbURL; }

    // Every row of every table of a database file, as text.
    static std::string dump(const std::string& path) {
        sqlite3* db = nullptr;
        std::string text;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return "unreadable";
        std::vector<std::string> tables;
        sqlite3_exec(
            db, "select name from sqlite_master where type='table' order by name",
            [](void* out, int, char** values, char**) {
                static_cast<std::vector<std::string>*>(out)->push_back(values[0]);
                return 0;
            },
            &tables, nullptr);
        for (const auto& table : tables) {
            text += "# " + table + "\n";
            sqlite3_exec(
                db, ("select * from \"" + table + "\" order by rowid").c_str(),
                [](void* out, int n, char** values, char**) {
                    auto& s = *static_cast<std::string*>(out);
                    for (int i = 0; i < n; ++i) s += std::string(values[i] ? values[i] : "NULL") + "|";
                    s += "\n";
                    return 0;
                },
                &text, nullptr);
        }
        sqlite3_close(db);
        return text;
    }

    // An update file: the table zlava with one new activity and the script
    // `name` (none when `script` is empty).
    static std::string updateFile(const std::string& script, const std::string& name = "update1") {
        const std::string folder = platform::FileManager::makeTemporaryDirectory("trekora-update");
        const std::string path = folder + "/export_akcen.db3";
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db,
                     "create table sqliteadmin_queries(name text, sql text);"
                     "create table zlava(id integer primary key, nazov text, popis text, datum_od text, datum_do text,"
                     " dodatpla real);"
                     "insert into zlava values(900, 'Zimná akcia', '', '2026-12-01', '2026-12-31', 0);",
                     nullptr, nullptr, nullptr);
        if (!script.empty()) {
            sqlite3_stmt* stmt = nullptr;
            sqlite3_prepare_v2(db, "insert into sqliteadmin_queries values(?, ?)", -1, &stmt, nullptr);
            sqlite3_bind_text(stmt, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 2, script.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(stmt);
            sqlite3_finalize(stmt);
        }
        sqlite3_close(db);
        std::string bytes = fileBytes(path);
        platform::FileManager::removeItem(folder);
        return bytes;
    }
    // A script of six statements with blank pieces between them: the
    // activities of the file replace those of the device; the last
    // statement takes the centre code.
    static constexpr const char* kScript =
        "attach database ? as akcen;\n"
        "delete from main.zlava where id in (select id from akcen.zlava) and ? is not null;;\n"
        "  ;\n"
        "insert into main.zlava select * from akcen.zlava where ? is not null;\n"
        "update main.zlava set datum_do = datum_do where ? is not null;\n"
        "detach database akcen;\n"
        "update main.zlava set popis = 'stredisko ' || ? where id = 900";

    std::unique_ptr<FakeOffice> office = std::make_unique<FakeOffice>();
    std::shared_ptr<platform::ViewController> root;
    std::shared_ptr<platform::NavigationController> nav;
    std::shared_ptr<platform::Window> window;
};
