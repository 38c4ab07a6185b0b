#pragma once

#include "platform/ui/ApplicationDelegate.h"

// The application's delegate: builds the shared object at launch and writes
// the launch and termination lines to the log.
class AppDelegate : public platform::ApplicationDelegate {
public:
    bool didFinishLaunchingWithOptions(platform::Application& application, const LaunchOptions& options) override;
    void applicationWillResignActive(platform::Application& application) override;
    void applicationDidEnterBackground(platform::Application& application) override;
    void applicationWillEnterForeground(platform::Application& application) override;
    void applicationDidBecomeActive(platform::Application& application) override;
    void applicationWillTerminate(platform::Application& application) override;
};
