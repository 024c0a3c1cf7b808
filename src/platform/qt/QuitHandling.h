// SIGINT, SIGTERM, SIGHUP and SIGQUIT end the application the normal way
// (QCoreApplication::quit), so everything hooked to aboutToQuit still runs. The
// signal handler only writes to a pipe; the quit happens on the event loop.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace corvanta::platform {

class QuitHandling final : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; only one instance may exist at a time.
    explicit QuitHandling(QObject* parent = nullptr);
    // Restores the previous handlers and forgets the exit hook.
    ~QuitHandling() override;

    // Runs `hook` should the process end through exit() without leaving the
    // event loop: Qt's X11 backend exits at once when the X server goes away
    // (a logout), and aboutToQuit never comes. Never runs once this object is gone.
    void setExitHook(std::function<void()> hook);

    // How many signals have been turned into a quit request (for tests).
    int quitRequests() const { return quitRequests_; }

private:
    void onSignal();

    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    int quitRequests_ = 0;
};

}  // namespace corvanta::platform
