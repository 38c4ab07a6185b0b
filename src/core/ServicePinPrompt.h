#pragma once

#include <functional>

#include "platform/ui/ViewController.h"

// The service PIN asked over a screen: a "pin" alert showing a fresh
// challenge, with an empty number field, "storno" and "ok". A PIN that
// answers the challenge runs `accepted`; a wrong one sounds the error and
// says "chybny pin!" over the same screen. Nothing runs once the screen is gone.
class ServicePinPrompt {
public:
    static void present(platform::ViewController& screen, bool animated, std::function<void()> accepted);
};
