#include "platform/ui/Toolbar.h"
