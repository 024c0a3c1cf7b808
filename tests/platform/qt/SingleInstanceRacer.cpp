// One launch for the single-instance race test: tries to become the primary for
// the settings folder given (socket in the runtime folder given), prints its
// role, and as primary serves until killed.
#include <QCoreApplication>
#include <cstdio>

#include "platform/qt/SingleInstance.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    using Role = corvanta::platform::SingleInstance::Role;
    corvanta::platform::SingleInstance instance(argv[1], QString::fromLocal8Bit(argv[2]));
    const Role role = instance.tryBecomePrimary();
    std::puts(role == Role::Primary      ? "primary"
              : role == Role::HandedOver ? "handed-over"
                                         : "unreachable");
    std::fflush(stdout);
    return role == Role::Primary ? QCoreApplication::exec() : 0;
}
