// Observation in the manner of an observable object with published properties:
// every write is announced on the owner's objectWillChange *before* the value
// is stored, and also when the new value equals the old one.
#pragma once

#include <utility>

#include "platform/foundation/Signal.h"

namespace corvanta::platform {

class ObservableObject {
public:
    ObservableObject() = default;
    ObservableObject(const ObservableObject&) = delete;
    ObservableObject& operator=(const ObservableObject&) = delete;
    virtual ~ObservableObject() = default;

    mutable Signal<> objectWillChange;
};

// A published property. `willSet` carries the new value, before it is stored,
// for observers interested in one property (the `$property` publisher).
template <class T>
class Published {
public:
    Published(ObservableObject& owner, T initial) : owner_(owner), value_(std::move(initial)) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& get() const { return value_; }
    operator const T&() const { return value_; }
    const T* operator->() const { return &value_; }

    void set(T newValue) {
        owner_.objectWillChange.emit();
        willSet.emit(newValue);
        value_ = std::move(newValue);
    }
    Published& operator=(T newValue) {
        set(std::move(newValue));
        return *this;
    }

    mutable Signal<const T&> willSet;

private:
    ObservableObject& owner_;
    T value_;
};

}  // namespace corvanta::platform
