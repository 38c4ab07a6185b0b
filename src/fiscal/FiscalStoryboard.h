#pragma once

// The printing part of the storyboard "Main": the print screen "Tlac" (with
// its printer picture, progress bar and done button) and the printer link
// test screen "Test" (nine buttons).
class FiscalStoryboard {
public:
    // Registers everything; safe to call more than once.
    static void registerAll();
};
