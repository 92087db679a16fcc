// NotificationCenter: registrations and synchronous delivery.
#include "app/NotificationCenter.hpp"

namespace pelagrin {

Subscription NotificationCenter::observe(std::string_view name, Observer observer) {
    auto slot = std::make_shared<Observer>(std::move(observer));
    registrations_.push_back({std::string(name), slot});
    return Subscription([this, weak = std::weak_ptr<Observer>(slot)] {
        std::erase_if(registrations_, [&](const Registration& r) { return r.observer == weak.lock(); });
    });
}

void NotificationCenter::post(std::string_view name, Object object) {
    // A snapshot, because observers change the registrations (a window that closes its project drops the
    // project window's observers) while the notification is being delivered.
    std::vector<std::weak_ptr<Observer>> receivers;
    for (const Registration& registration : registrations_) {
        if (registration.name == name) {
            receivers.emplace_back(registration.observer);
        }
    }
    for (const auto& weak : receivers) {
        if (const auto observer = weak.lock()) {
            (*observer)(object);
        }
    }
}

} // namespace pelagrin
