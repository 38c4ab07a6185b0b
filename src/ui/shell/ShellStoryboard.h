#pragma once

// The shell's part of the storyboard "Main": the login screen as the initial
// screen (inside a navigation controller), the menu, settings, information,
// user and kilometre screens, the generic menu screens with their cells and
// segues, and the application delegate class "AppDelegate".
class ShellStoryboard {
public:
    // Registers everything; safe to call more than once.
    static void registerAll();
};
