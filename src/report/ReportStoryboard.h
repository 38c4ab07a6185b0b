#pragma once

// The reports' part of the storyboard "Main": the document preview "Preview"
// (its web view, and a toolbar with the action button), and a stand-in for
// the print screen "Tlac" while no print screen is registered.
class ReportStoryboard {
public:
    // Registers everything; safe to call more than once.
    static void registerAll();
};
