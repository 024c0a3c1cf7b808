// A Workspace for tests: activate() reports an application as front-most.
#pragma once

#include <string>

#include "platform/qt/Workspace.h"

namespace corvanta::platform {

class FakeWorkspace final : public Workspace {
public:
    bool isAvailable() const override { return available_; }
    void setAvailable(bool available) { available_ = available; }
    void activate(const std::string& identifier) { didActivateApplication.emit(identifier); }

private:
    bool available_ = true;
};

}  // namespace corvanta::platform
