#include "platform/ui/ActivityIndicatorView.h"
