#include "app/AppRegistry.h"

#include "report/ReportStoryboard.h"
#include "sync/SyncStoryboard.h"
#include "ui/sales/SalesStoryboard.h"
#include "ui/shell/ShellStoryboard.h"

void registerApplicationParts() {
    // Screens and the delegate register here, one call per subsystem.
    ShellStoryboard::registerAll();
    SalesStoryboard::registerAll();
    SyncStoryboard::registerAll();
    ReportStoryboard::registerAll();
}
