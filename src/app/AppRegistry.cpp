#include "app/AppRegistry.h"

#include "report/ReportStoryboard.h"
#include "ui/shell/ShellStoryboard.h"

void registerApplicationParts() {
    // Screens and the delegate register here, one call per subsystem.
    ShellStoryboard::registerAll();
    ReportStoryboard::registerAll();
}
