#pragma once

// The print screen in a window of its own, on the simulated Wi-Fi network
// "Auto-Wifi", with the application's screens registered.

#include "app/AppRegistry.h"
#include "core/Trekora.h"
#include "fiscal/Tlac.h"
#include "platform/MainRunLoop.h"
#include "platform/SystemSounds.h"
#include "platform/Wifi.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "support/TrekoraTestEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

class PrintScreenFixture : public ::testing::Test {
protected:
    class Root : public platform::ViewController {};

    void SetUp() override {
        env = std::make_unique<TrekoraTestEnvironment>();
        platform::Application::shared().reset();
        platform::Storyboard::resetRegistry();
        registerApplicationParts();
        platform::SystemSounds::clearPlayed();
        platform::Wifi::simulate("Auto-Wifi");
        nav = platform::NavigationController::make(std::make_shared<Root>());
        window = std::make_shared<platform::Window>();
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        sharedTrekora().fiskalTxt2.clear();
    }

    void TearDown() override {
        platform::MainRunLoop::drain();
        window.reset();
        nav.reset();
        platform::Wifi::setProvider(nullptr);
        platform::Storyboard::resetRegistry();
        platform::Application::shared().reset();
        env.reset();
    }

    // Pushes a new print screen, which starts on the shared print job.
    std::shared_ptr<Tlac> push() {
        auto screen = std::dynamic_pointer_cast<Tlac>(
            platform::Storyboard::named("Main")->instantiateViewController("Tlac"));
        EXPECT_TRUE(screen);
        if (screen) nav->pushViewController(screen, false);
        return screen;
    }

    // Waits (at most 5 s) for an alert of this title; answers the alert shown then.
    std::shared_ptr<platform::AlertController> waitForAlert(const std::string& title) {
        platform::MainRunLoop::runUntil(
            [&] {
                auto a = window->presentedAlert();
                return a && a->title() == title;
            },
            std::chrono::milliseconds(5000));
        return window->presentedAlert();
    }

    std::unique_ptr<TrekoraTestEnvironment> env;
    std::shared_ptr<platform::NavigationController> nav;
    std::shared_ptr<platform::Window> window;
};
