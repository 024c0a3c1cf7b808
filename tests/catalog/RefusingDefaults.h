// In-memory settings whose store refuses every write while told to, as a full
// disk or a read-only settings folder would: values stay in memory and
// synchronize() reports that they did not reach the store. Shared by the
// catalog and interface tests of submissions.
#pragma once

#include <optional>
#include <string_view>

#include "platform/foundation/UserDefaults.h"

namespace corvanta::testing_support {

class RefusingDefaults final : public platform::UserDefaults {
public:
    std::optional<platform::DefaultsValue> object(std::string_view key) const override {
        return inner.object(key);
    }
    void set(std::string_view key, platform::DefaultsValue value) override {
        inner.set(key, std::move(value));
    }
    void removeObject(std::string_view key) override { inner.removeObject(key); }
    bool synchronize() override { return !refuses; }

    platform::MemoryUserDefaults inner;
    bool refuses = false;
};

}  // namespace corvanta::testing_support
