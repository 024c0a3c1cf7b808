// In-memory settings that quietly drop every write while told to, as a full
// disk or a read-only settings folder would; shared by the catalog and
// interface tests of submissions.
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
        if (!refuses)
            inner.set(key, std::move(value));
    }
    void removeObject(std::string_view key) override {
        if (!refuses)
            inner.removeObject(key);
    }

    platform::MemoryUserDefaults inner;
    bool refuses = false;
};

}  // namespace corvanta::testing_support
