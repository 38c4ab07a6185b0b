#include "app/AppRegistry.h"

#include "fiscal/FiscalStoryboard.h"
#include "report/ReportStoryboard.h"
#include "sync/SyncStoryboard.h"
#include "ui/orders/OrdersStoryboard.h"
#include "ui/sales/SalesStoryboard.h"
#include "ui/shell/ShellStoryboard.h"

void registerApplicationParts() {
    // Screens and the delegate register here, one call per subsystem.
    ShellStoryboard::registerAll();
    SalesStoryboard::registerAll();
    SyncStoryboard::registerAll();
    FiscalStoryboard::registerAll();
    ReportStoryboard::registerAll();
    OrdersStoryboard::registerAll();
}
