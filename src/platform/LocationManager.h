#pragma once

#include <functional>

#include "platform/LocationManagerDelegate.h"

namespace platform {

// Location manager stand-in: only the authorisation. The status is
// process-wide (as the platform keeps it per application). A request for
// when-in-use authorisation while the status is not determined sets it to
// the simulated answer (granted by default) and tells the delegate.
class LocationManager {
public:
    LocationManager() = default;

    AuthorizationStatus authorizationStatus() const { return currentStatus(); }
    static AuthorizationStatus currentStatus();

    // The delegate is not owned (the platform holds it weakly).
    void setDelegate(LocationManagerDelegate* delegate) { delegate_ = delegate; }
    LocationManagerDelegate* delegate() const { return delegate_; }

    void requestWhenInUseAuthorization();
    int authorizationRequests() const { return requests_; }

    // Simulation knobs (tests, terminal).
    static void setSimulatedStatus(AuthorizationStatus status);
    static void setSimulatedAnswer(AuthorizationStatus answer);
    // How delegate callbacks are delivered; by default at once on the
    // calling thread. The program may route them onto its main queue.
    static void setDeliverer(std::function<void(std::function<void()>)> deliver);

private:
    LocationManagerDelegate* delegate_ = nullptr;
    int requests_ = 0;
};

}  // namespace platform
