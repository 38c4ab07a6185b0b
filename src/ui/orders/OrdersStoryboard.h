#pragma once

// Registers the document list, the received orders with their lines and the
// stock screen in the storyboard "Main".
class OrdersStoryboard {
public:
    static void registerAll();
};
