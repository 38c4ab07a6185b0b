#include "platform/ui/Switch.h"
