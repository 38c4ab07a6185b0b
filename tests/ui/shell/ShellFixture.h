#pragma once

// Shared set-up of the shell tests: a fresh Documents folder and shared
// object per test, the shell's storyboard plus plain stand-ins for the
// screens of other subsystems, a visible window with the login screen, and
// helpers to tap, type and read the database.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <memory>
#include <string>
#include <vector>

#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/MainRunLoop.h"
#include "platform/SystemSounds.h"
#include "platform/Wifi.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "support/TrekoraTestEnvironment.h"
#include "ui/shell/Login.h"
#include "ui/shell/ShellStoryboard.h"
#include "ui/shell/SimpleMenu.h"

// A screen of another subsystem, standing in for it in the storyboard.
class StandInScreen : public platform::ViewController {};

class ShellTest : public ::testing::Test {
protected:
    // Screens of other subsystems that the menu actions open.
    static inline const std::vector<std::string> kStandIns = {"Odberatel", "Polozky", "Parametre", "Doklady",
                                                              "Objednavky", "Sklad", "Spojenie", "Tlac",
                                                              "Preview"};

    void SetUp() override {
        env = std::make_unique<TrekoraTestEnvironment>();
        documents = env->documents();
        platform::Application::shared().reset();
        platform::Storyboard::resetRegistry();
        ShellStoryboard::registerAll();
        for (const auto& id : kStandIns)
            platform::Storyboard::registerScreen("Main", id, [] { return std::make_shared<StandInScreen>(); });
        platform::SystemSounds::clearPlayed();
        platform::Wifi::simulate("kancelaria");

        nav = std::dynamic_pointer_cast<platform::NavigationController>(
            platform::Storyboard::named("Main")->instantiateInitialViewController());
        ASSERT_TRUE(nav);
        window = std::make_shared<platform::Window>();
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        login = std::dynamic_pointer_cast<Login>(nav->topViewController());
        ASSERT_TRUE(login);
        sharedTrekora();
    }

    void TearDown() override {
        platform::MainRunLoop::drain();
        window.reset();
        login.reset();
        nav.reset();
        platform::Storyboard::resetRegistry();
        platform::Application::shared().reset();
        env.reset();
    }

    // --- the user ------------------------------------------------------------
    void typePin(const std::string& pin) {
        auto field = login->pinTextField.lock();
        ASSERT_TRUE(field);
        field->clear();
        field->type(pin);
    }
    void tapLogin() {
        for (const auto& view : login->view()->subviews())
            if (auto button = std::dynamic_pointer_cast<platform::Button>(view)) button->tap();
    }
    void logIn(const std::string& pin = "1234") {
        typePin(pin);
        tapLogin();
        ASSERT_TRUE(topMenu()) << "login with " << pin << " opened no menu";
    }

    std::shared_ptr<platform::ViewController> top() const { return nav->topViewController(); }
    std::shared_ptr<SimpleMenu> topMenu() const { return std::dynamic_pointer_cast<SimpleMenu>(top()); }
    std::shared_ptr<platform::AlertController> alert() const { return window->presentedAlert(); }

    // Index of the row with this caption in a menu screen; -1 when none.
    static int rowOf(const SimpleMenu& menu, const std::string& caption) {
        for (std::size_t i = 0; i < menu.data.size(); ++i)
            if (menu.data[i]->caption == caption) return static_cast<int>(i);
        return -1;
    }
    static std::vector<std::string> captions(const SimpleMenu& menu) {
        std::vector<std::string> out;
        for (const auto& row : menu.data) out.push_back(row->caption);
        return out;
    }
    // Taps the row of the top menu with this caption and lets the dispatch run.
    void tapRow(const std::string& caption) {
        auto menu = topMenu();
        ASSERT_TRUE(menu) << "no menu on top for " << caption;
        int row = rowOf(*menu, caption);
        ASSERT_GE(row, 0) << "no row " << caption << " in " << menu->item;
        ASSERT_TRUE(menu->tableView()->tapRow({0, row}));
        platform::MainRunLoop::drain();
    }
    // Opens a nested menu of the main menu (after login) by its caption.
    void openFromMain(const std::string& caption) {
        tapRow(caption);
        ASSERT_FALSE(alert()) << "unexpected alert " << alert()->title().value_or("");
    }
    void tapAlert(const std::string& button) {
        auto current = alert();
        ASSERT_TRUE(current) << "no alert to tap " << button;
        ASSERT_TRUE(current->tapAction(button)) << "no button " << button;
        platform::MainRunLoop::drain();
    }
    void typeInAlert(const std::string& text) {
        auto current = alert();
        ASSERT_TRUE(current);
        ASSERT_FALSE(current->textFields().empty());
        current->textFields().front()->clear();
        current->textFields().front()->type(text);
    }

    NastaveniaItem& settings() { return *sharedTrekora().nastaveniaItem; }

    bool errorSoundPlayed() const {
        for (const auto& played : platform::SystemSounds::played())
            if (played.id == 1116) return true;
        return false;
    }

    // --- the database -----------------------------------------------------------
    std::string dbPath() const { return documents + "/trekora.db3"; }
    std::string scalar(const std::string& sql) const {
        sqlite3* db = nullptr;
        std::string out;
        if (sqlite3_open_v2(dbPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
                auto text = sqlite3_column_text(stmt, 0);
                out = text ? reinterpret_cast<const char*>(text) : "";
            }
            sqlite3_finalize(stmt);
        }
        sqlite3_close(db);
        return out;
    }
    void exec(const std::string& sql) const {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dbPath().c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << message;
    }

    std::unique_ptr<TrekoraTestEnvironment> env;
    std::string documents;
    std::shared_ptr<platform::NavigationController> nav;
    std::shared_ptr<platform::Window> window;
    std::shared_ptr<Login> login;
};
