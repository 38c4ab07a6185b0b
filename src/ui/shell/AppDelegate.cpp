#include "ui/shell/AppDelegate.h"

#include "core/Trekora.h"

bool AppDelegate::didFinishLaunchingWithOptions(platform::Application&, const LaunchOptions&) {
    // The first use builds the shared object: database copy, report
    // definitions, sounds, location manager.
    auto& trekora = sharedTrekora();
    trekora.log("application(_:didFinishLaunchingWithOptions:) start trekora2");
    return true;
}

void AppDelegate::applicationWillResignActive(platform::Application&) {}

void AppDelegate::applicationDidEnterBackground(platform::Application&) {}

void AppDelegate::applicationWillEnterForeground(platform::Application&) {}

void AppDelegate::applicationDidBecomeActive(platform::Application&) {}

void AppDelegate::applicationWillTerminate(platform::Application&) {
    sharedTrekora().log("applicationWillTerminate(_:) ");
}
