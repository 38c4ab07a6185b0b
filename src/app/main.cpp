// Process entry of Trekora: registers the screens, then hands control to the
// application main loop, whose run loop is the terminal front end.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "app/AppRegistry.h"
#include "app/PlaceholderScreen.h"
#include "app/TerminalFrontEnd.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

int main(int argc, char** argv) {
    // Screens are drawn on standard output; the console trace of the system
    // goes to standard error so that it never runs through a drawn screen.
    platform::Console::redirectTo(stderr);
    registerApplicationParts();
    platform::Application::main(argc, argv, std::nullopt, std::string("AppDelegate"),
                                &TerminalFrontEnd::runOnStandardStreams, [] {
                                    return platform::NavigationController::make(
                                        std::make_shared<PlaceholderScreen>());
                                });
    // Quitting ends the jobs still running (a synchronisation, an order run)
    // before anything they use is torn down: their transfers are cancelled
    // and they are waited for, within a bound. A job still running after it
    // is left to the end of the process, which then tears nothing down.
    if (!Trekora::resetShared()) {
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return 0;
}
