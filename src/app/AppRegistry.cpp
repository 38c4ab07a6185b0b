#include "app/AppRegistry.h"

#include "fiscal/FiscalStoryboard.h"
#include "ui/shell/ShellStoryboard.h"

void registerApplicationParts() {
    // Screens and the delegate register here, one call per subsystem.
    ShellStoryboard::registerAll();
    FiscalStoryboard::registerAll();
}
