#pragma once

// Registers the document screens in the storyboard "Main": the customer,
// goods and batch pickers, the lines editor, the confirmation, and the
// parameters with their date and lookup screens.
class SalesStoryboard {
public:
    static void registerAll();
};
