#include "platform/ui/AlertAction.h"
