// Runs icon look-ups away from the main thread, one at a time, each within a
// time budget, and hands their images back.
//
// Drawing a vector file cannot be interrupted once it has begun, and some
// files take seconds or minutes to draw. So each look-up runs on a thread of
// its own that is watched, never joined: a look-up past its budget is
// answered with a null image at once and its thread left to finish (or not)
// on its own, the file it was reading is never read again by this loader,
// and destroying the loader or quitting waits for none of them.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QImage>
#include <QString>

class QObject;

namespace corvanta {

class IconLoader {
public:
    // Reads one image file on the look-up's thread.
    using FileReader = std::function<QImage(const QString& path)>;
    // A look-up: whatever it reads goes through the reader it is handed.
    using Work = std::function<QImage(const FileReader& read)>;

    // `arrived` runs on the thread that made the loader, from its event loop,
    // after one or more answers came in (not for answers taken already).
    IconLoader(std::chrono::milliseconds budget, std::function<void()> arrived);
    ~IconLoader();
    IconLoader(const IconLoader&) = delete;
    IconLoader& operator=(const IconLoader&) = delete;

    // Queues a look-up under `key`; `key` must not be under way already.
    void start(const std::string& key, Work work);
    // The answer for `key` once in (a null image: nothing found, or the
    // budget ran out), waiting up to `wait` for it; nothing while it is still
    // under way. An answer is handed over once.
    std::optional<QImage> take(const std::string& key, std::chrono::milliseconds wait = {});
    // Waits up to `timeout` until every queued look-up is answered.
    bool waitUntilAnswered(std::chrono::milliseconds timeout);
    // Takes no further look-ups and announces nothing more; returns at once.
    void stop();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    QObject* receiver_;
};

}  // namespace corvanta
