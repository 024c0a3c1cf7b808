// SIGINT and SIGTERM end the application the normal way (QCoreApplication::quit),
// so everything hooked to aboutToQuit still runs. The signal handler only writes
// to a pipe; the quit happens on the event loop.
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace corvanta::platform {

class QuitHandling final : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; only one instance may exist at a time.
    explicit QuitHandling(QObject* parent = nullptr);
    // Restores the previous handlers.
    ~QuitHandling() override;

    // How many signals have been turned into a quit request (for tests).
    int quitRequests() const { return quitRequests_; }

private:
    void onSignal();

    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    int quitRequests_ = 0;
};

}  // namespace corvanta::platform
