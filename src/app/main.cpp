// Process entry of Trekora: registers the screens, then hands control to the
// application main loop, whose run loop is the terminal front end.
#include <memory>
#include <optional>
#include <string>

#include "app/AppRegistry.h"
#include "app/PlaceholderScreen.h"
#include "app/TerminalFrontEnd.h"
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
    return 0;
}
