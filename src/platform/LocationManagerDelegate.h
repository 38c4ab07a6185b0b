#pragma once

namespace platform {

class LocationManager;

// Location authorisation status, numbered as the platform numbers it.
enum class AuthorizationStatus : int {
    notDetermined = 0,
    restricted = 1,
    denied = 2,
    authorizedAlways = 3,
    authorizedWhenInUse = 4,
};

class LocationManagerDelegate {
public:
    virtual ~LocationManagerDelegate() = default;
    virtual void locationManager(LocationManager& manager, AuthorizationStatus status) = 0;
};

}  // namespace platform
