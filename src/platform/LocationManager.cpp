#include "platform/LocationManager.h"

#include <mutex>

namespace platform {

namespace {
std::mutex locationMutex;
AuthorizationStatus status = AuthorizationStatus::notDetermined;
AuthorizationStatus answer = AuthorizationStatus::authorizedWhenInUse;
std::function<void(std::function<void()>)> deliverer;
}  // namespace

AuthorizationStatus LocationManager::currentStatus() {
    std::lock_guard lock(locationMutex);
    return status;
}

void LocationManager::requestWhenInUseAuthorization() {
    ++requests_;
    AuthorizationStatus now;
    std::function<void(std::function<void()>)> deliver;
    {
        std::lock_guard lock(locationMutex);
        if (status != AuthorizationStatus::notDetermined) return;
        status = answer;
        now = status;
        deliver = deliverer;
    }
    if (now == AuthorizationStatus::notDetermined) return;
    auto call = [this, now] {
        if (delegate_) delegate_->locationManager(*this, now);
    };
    if (deliver) deliver(call);
    else call();
}

void LocationManager::setSimulatedStatus(AuthorizationStatus s) {
    std::lock_guard lock(locationMutex);
    status = s;
}

void LocationManager::setSimulatedAnswer(AuthorizationStatus a) {
    std::lock_guard lock(locationMutex);
    answer = a;
}

void LocationManager::setDeliverer(std::function<void(std::function<void()>)> deliver) {
    std::lock_guard lock(locationMutex);
    deliverer = std::move(deliver);
}

}  // namespace platform
