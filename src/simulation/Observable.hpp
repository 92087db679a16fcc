// Observable: a published value that tells its subscribers every time it is assigned.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace pelagrin {

/// Keeps one subscription alive; unsubscribes when destroyed. Move-only.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    /// Ends the subscription now; a second call does nothing.
    void reset() {
        if (cancel_) {
            std::exchange(cancel_, nullptr)();
        }
    }

private:
    std::function<void()> cancel_;
};

/// A value of type T with change notification. Every assignment notifies, even of an equal value, because
/// observers (dirty tracking, screens) react to edits, not to differences. Single-threaded by design: all
/// observable state lives on the app thread.
template <class T> class Observable {
public:
    using Observer = std::function<void(const T&)>;

    Observable() = default;
    explicit Observable(T value) : value_(std::move(value)) {}
    Observable(const Observable&) = delete;
    Observable& operator=(const Observable&) = delete;

    const T& get() const { return value_; }
    operator const T&() const { return value_; }
    const T* operator->() const { return &value_; }

    /// Assigns and then notifies every subscriber, in subscription order.
    void set(T value) {
        value_ = std::move(value);
        notify();
    }
    Observable& operator=(T value) {
        set(std::move(value));
        return *this;
    }

    /// Calls `observer` after every later assignment until the returned handle is dropped. The handle must
    /// not outlive this object.
    [[nodiscard]] Subscription subscribe(Observer observer) {
        auto slot = std::make_shared<Observer>(std::move(observer));
        observers_.push_back(slot);
        return Subscription([this, weak = std::weak_ptr<Observer>(slot)] {
            std::erase_if(observers_, [&](const auto& o) { return o == weak.lock() || o == nullptr; });
        });
    }

private:
    void notify() {
        // Iterate over a snapshot: an observer may subscribe or unsubscribe while being notified. A slot that
        // was unsubscribed meanwhile is skipped through its weak reference.
        std::vector<std::weak_ptr<Observer>> snapshot(observers_.begin(), observers_.end());
        for (const auto& weak : snapshot) {
            if (auto observer = weak.lock()) {
                (*observer)(value_);
            }
        }
    }

    T value_{};
    std::vector<std::shared_ptr<Observer>> observers_;
};

} // namespace pelagrin
