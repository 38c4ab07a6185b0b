#include "platform/ui/WebView.h"
