// The toolkit hands accessibility events on only while the platform's bridge
// is active, as it is when a screen reader runs; the offscreen platform's
// bridge is switched on by hand for a test, and off again so no other test
// pays for it.
#pragma once

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

namespace corvanta::testing_support {

class ActiveBridge {
public:
    ActiveBridge() : bridge_(QGuiApplicationPrivate::platformIntegration()->accessibility()) {
        if (bridge_)
            bridge_->setActive(true);
    }
    ~ActiveBridge() {
        if (bridge_)
            bridge_->setActive(false);
    }
    ActiveBridge(const ActiveBridge&) = delete;
    ActiveBridge& operator=(const ActiveBridge&) = delete;

private:
    QPlatformAccessibility* bridge_;
};

}  // namespace corvanta::testing_support
