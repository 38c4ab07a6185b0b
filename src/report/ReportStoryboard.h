#pragma once

// The reports' part of the storyboard "Main": the document preview "Preview"
// (its web view, and a toolbar with the action button). The print screen
// "Tlac" that the preview opens is the printing part's (FiscalStoryboard).
class ReportStoryboard {
public:
    // Registers everything; safe to call more than once.
    static void registerAll();
};
