// Termination signals become a normal quit on the event loop (self-pipe); an
// exit() from inside the event loop still runs the exit hook.
#include "platform/qt/QuitHandling.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace corvanta::platform {
namespace {

// SIGHUP comes when the session ends, SIGQUIT from a terminal's Ctrl+\; both
// would otherwise end the process before pending settings are written.
constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The signal handler reads it on whatever thread the signal lands on while
// the owner may be closing it, so it is atomic, and must be without a lock
// to be touched from a handler.
std::atomic<int> writeEnd = -1;
static_assert(std::atomic<int>::is_always_lock_free);
std::array<struct sigaction, kSignals.size()> previous;
std::function<void()> exitHook;

void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // Only async-signal-safe work here; a full pipe already means "quit".
    if (const int fd = writeEnd.load(); fd >= 0) {
        [[maybe_unused]] const auto written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

void runExitHook() {
    // Runs once: the hook may itself reach code that ends the process.
    const std::function<void()> hook = std::move(exitHook);
    exitHook = nullptr;
    if (hook)
        hook();
}

}  // namespace

QuitHandling::QuitHandling(QObject* parent) : QObject(parent) {
    if (writeEnd.load() != -1)
        return;  // another instance is in charge
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0)
        return;
    writeEnd.store(fds_[0]);
    notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { onSignal(); });

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &previous[i]);
}

QuitHandling::~QuitHandling() {
    if (!notifier_)
        return;
    exitHook = nullptr;
    for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &previous[i], nullptr);
    notifier_.reset();
    // Withdrawn before it is closed: a late handler then finds no descriptor
    // rather than one the number may already be reused for.
    ::close(writeEnd.exchange(-1));
    ::close(fds_[1]);
}

void QuitHandling::setExitHook(std::function<void()> hook) {
    if (!notifier_)
        return;
    static const bool registered = std::atexit(runExitHook) == 0;
    if (registered)
        exitHook = std::move(hook);
}

void QuitHandling::onSignal() {
    char buffer[64];
    while (::read(fds_[1], buffer, sizeof buffer) > 0) {
    }
    ++quitRequests_;
    QCoreApplication::quit();
}

}  // namespace corvanta::platform
