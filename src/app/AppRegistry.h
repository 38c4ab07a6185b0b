#pragma once

// Registers every subsystem's screens (storyboard "Main") and the application
// delegate class. Each subsystem adds its one registration call to the body.
void registerApplicationParts();
