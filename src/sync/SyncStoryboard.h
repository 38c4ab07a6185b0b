#pragma once

// The synchronisation's part of the storyboard "Main": the connection
// screen "Spojenie" with its progress bar, info label and activity indicator.
class SyncStoryboard {
public:
    static void registerAll();
};
