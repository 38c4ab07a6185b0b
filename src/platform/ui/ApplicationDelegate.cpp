#include "platform/ui/ApplicationDelegate.h"
