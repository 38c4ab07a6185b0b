#include "app/AppRegistry.h"

void registerApplicationParts() {
    // Screens and the delegate register here, one call per subsystem.
}
