// The application object: starts Qt, keeps to one running instance, builds the
// shell on the real platform services and runs the event loop until quit.
#pragma once

#include <string_view>

namespace corvanta {

class CorvantaApp final {
public:
    // Our own identifier: also the X11 window class of our windows, so that
    // activating the panel is recognised as this application.
    static constexpr std::string_view bundleIdentifier = "org.corvanta.Corvanta";

    // Test seam only: a resource folder to use instead of the one found next to
    // the executable (end-to-end tests point it at a small test catalog).
    static constexpr const char* resourcesVariable = "CORVANTA_RESOURCES";

    // Returns the process exit status.
    static int main(int argc, char** argv);
};

}  // namespace corvanta
