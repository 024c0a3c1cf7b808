// One launch for the single-instance race test: tries to become the primary at
// the socket path given, prints its role, and as primary serves until killed.
#include <QCoreApplication>
#include <cstdio>

#include "platform/qt/SingleInstance.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    using Role = corvanta::platform::SingleInstance::Role;
    corvanta::platform::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    const Role role = instance.tryBecomePrimary();
    std::puts(role == Role::Primary      ? "primary"
              : role == Role::HandedOver ? "handed-over"
                                         : "unreachable");
    std::fflush(stdout);
    return role == Role::Primary ? QCoreApplication::exec() : 0;
}
