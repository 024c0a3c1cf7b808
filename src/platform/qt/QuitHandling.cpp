// Termination signals become a normal quit on the event loop (self-pipe).
#include "platform/qt/QuitHandling.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>

namespace corvanta::platform {
namespace {

int writeEnd = -1;
struct sigaction previousInt;
struct sigaction previousTerm;

void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // Only async-signal-safe work here; a full pipe already means "quit".
    [[maybe_unused]] const auto written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

QuitHandling::QuitHandling(QObject* parent) : QObject(parent) {
    if (writeEnd != -1)
        return;  // another instance is in charge
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0)
        return;
    writeEnd = fds_[0];
    notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { onSignal(); });

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

QuitHandling::~QuitHandling() {
    if (!notifier_)
        return;
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    notifier_.reset();
    writeEnd = -1;
    ::close(fds_[0]);
    ::close(fds_[1]);
}

void QuitHandling::onSignal() {
    char buffer[64];
    while (::read(fds_[1], buffer, sizeof buffer) > 0) {
    }
    ++quitRequests_;
    QCoreApplication::quit();
}

}  // namespace corvanta::platform
