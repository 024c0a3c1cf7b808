// Icon look-ups off the main thread; see IconLoader.h.
#include "interface/IconLoader.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include <QObject>

#include "interface/IconFiles.h"

namespace corvanta {
namespace {

// Look-ups past their budget may keep a core busy each; beyond this many the
// next one waits for one of them to end rather than add another.
constexpr int kMaxAbandoned = 3;

}  // namespace

// Everything the threads share; they keep it alive, so a loader destroyed
// while one of them still runs leaves them nothing dangling.
struct IconLoader::Shared {
    struct Run {
        bool finished = false;
        bool abandoned = false;
        QImage image;
        QString file;  // the file being read now, if any
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::chrono::milliseconds budget;
    std::deque<std::pair<std::string, Work>> queue;
    bool running = false;  // a look-up taken off the queue is not answered yet
    std::map<std::string, QImage> answers;
    std::set<QString> costlyFiles;
    int abandoned = 0;
    bool stopped = false;
    // Posts the arrival to the loader's thread; called with the mutex held,
    // so that stopping (which clears it) and posting never overlap.
    std::function<void()> announce;

    static void dispatch(const std::shared_ptr<Shared>& self);
    QImage readFor(const std::shared_ptr<Run>& run, const QString& path);
};

QImage IconLoader::Shared::readFor(const std::shared_ptr<Run>& run, const QString& path) {
    {
        std::lock_guard lock(mutex);
        if (run->abandoned || costlyFiles.count(path))
            return {};
        run->file = path;
    }
    QImage image = readImageFile(path);
    std::lock_guard lock(mutex);
    run->file.clear();
    return image;
}

void IconLoader::Shared::dispatch(const std::shared_ptr<Shared>& self) {
    Shared& s = *self;
    std::unique_lock lock(s.mutex);
    for (;;) {
        s.changed.wait(
            lock, [&s] { return s.stopped || (!s.queue.empty() && s.abandoned < kMaxAbandoned); });
        if (s.stopped)
            return;
        auto [key, work] = std::move(s.queue.front());
        s.queue.pop_front();
        s.running = true;
        auto run = std::make_shared<Run>();
        try {
            std::thread([self, run, work = std::move(work)] {
                const FileReader read = [&self, &run](const QString& path) {
                    return self->readFor(run, path);
                };
                QImage image;
                try {
                    image = work(read);
                } catch (const std::exception&) {
                    // Out of memory, say: the look-up finds nothing.
                }
                std::lock_guard lock(self->mutex);
                run->finished = true;
                run->image = std::move(image);
                if (run->abandoned)
                    --self->abandoned;
                self->changed.notify_all();
            }).detach();
            s.changed.wait_for(lock, s.budget, [&run, &s] { return run->finished || s.stopped; });
        } catch (const std::system_error&) {
            run->finished = true;  // no thread to be had: the look-up finds nothing
        }
        if (!run->finished) {
            run->abandoned = true;
            ++s.abandoned;
            if (!run->file.isEmpty())
                s.costlyFiles.insert(run->file);
        }
        if (s.stopped)
            return;
        s.answers[key] = run->finished ? std::move(run->image) : QImage();
        s.running = false;
        if (s.announce)
            s.announce();
        s.changed.notify_all();
    }
}

IconLoader::IconLoader(std::chrono::milliseconds budget, std::function<void()> arrived)
    : shared_(std::make_shared<Shared>()), receiver_(new QObject) {
    shared_->budget = budget;
    shared_->announce = [receiver = receiver_, arrived = std::move(arrived)] {
        if (arrived)
            QMetaObject::invokeMethod(receiver, arrived, Qt::QueuedConnection);
    };
    try {
        std::thread([self = shared_] { Shared::dispatch(self); }).detach();
    } catch (const std::system_error&) {
        shared_->stopped = true;  // nothing will be looked up: every tile keeps its stand-in
    }
}

IconLoader::~IconLoader() {
    stop();
    delete receiver_;
}

void IconLoader::start(const std::string& key, Work work) {
    std::lock_guard lock(shared_->mutex);
    if (shared_->stopped)
        return;
    shared_->queue.emplace_back(key, std::move(work));
    shared_->changed.notify_all();
}

std::optional<QImage> IconLoader::take(const std::string& key, std::chrono::milliseconds wait) {
    std::unique_lock lock(shared_->mutex);
    Shared& s = *shared_;
    if (wait.count() > 0)
        s.changed.wait_for(lock, wait, [&s, &key] { return s.stopped || s.answers.count(key); });
    const auto answer = s.answers.find(key);
    if (answer == s.answers.end())
        return std::nullopt;
    QImage image = std::move(answer->second);
    s.answers.erase(answer);
    return image;
}

bool IconLoader::waitUntilAnswered(std::chrono::milliseconds timeout) {
    std::unique_lock lock(shared_->mutex);
    Shared& s = *shared_;
    return s.changed.wait_for(lock, timeout,
                              [&s] { return s.stopped || (s.queue.empty() && !s.running); });
}

void IconLoader::stop() {
    std::lock_guard lock(shared_->mutex);
    shared_->stopped = true;
    shared_->announce = nullptr;
    shared_->queue.clear();
    shared_->changed.notify_all();
}

}  // namespace corvanta
