// Keystroke to painted list on the offscreen platform: the query grows by one
// character as typed into the search field, the next turn renders the panel,
// and the shortcut list paints into an image. Runs over the shipped catalog,
// the shipped catalog with every pack loaded 20 times over, and a generated
// catalog 20 times the usual size. Then a key typed into the search field
// of the shown panel, to its field, result bar and list repainted.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include "SyntheticCatalog.h"
#include "catalog/CatalogLoading.h"
#include "catalog/ShortcutStore.h"
#include "interface/CorvantaView.h"
#include "interface/ShortcutListView.h"
#include "interface/SymbolImage.h"
#include "interface/ToolbarView.h"
#include "platform/qt/ManualMainQueue.h"

namespace corvanta::bench {
namespace {

namespace fs = std::filesystem;

const fs::path kShippedResources = fs::path(CORVANTA_SOURCE_DIR) / "resources";

// A generated folder, removed at exit.
struct TemporaryFolder {
    explicit TemporaryFolder(const char* name) {
        std::random_device random;
        path = fs::temp_directory_path() /
               (std::string("corvanta-interface-bench-") + name + "-" + std::to_string(random()));
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

// A store and an expanded panel showing the catalog's largest pack.
class Panel {
public:
    explicit Panel(const fs::path& resources)
        : bundle_(resources, "app.corvanta.bench"), store_(bundle_, defaults_) {
        platform::MainQueue::setShared(&queue_);
        view_ = std::make_unique<CorvantaView>(store_, commands_);
        const SoftwarePack* largest = nullptr;
        for (const SoftwarePack& pack : store_.software.get()) {
            if (!largest || pack.shortcutCount() > largest->shortcutCount())
                largest = &pack;
        }
        store_.selectSoftware(largest->id);
        store_.isExpanded = true;
        view_->resize(420, 620);
        view_->show();
        queue_.runUntilIdle();
        QApplication::processEvents();
    }
    ~Panel() {
        view_.reset();
        platform::MainQueue::setShared(nullptr);
    }

    ShortcutStore& store() { return store_; }
    CorvantaView& view() { return *view_; }
    ShortcutListView& list() { return *view_->shortcutList(); }
    // The keystroke's render, one turn after the store announced the change.
    void runTurn() { queue_.runUntilIdle(); }
    int packSize() const { return store_.selectedSoftware()->shortcutCount(); }
    // A title of the pack of two words or more, as someone would type it.
    std::string typedPhrase() const {
        for (const auto& category : store_.selectedSoftware()->categories) {
            for (const auto& item : category.items) {
                if (item.en.find(' ') != std::string::npos)
                    return QString::fromStdString(item.en).toLower().toStdString();
            }
        }
        return "select all";
    }

private:
    platform::Bundle bundle_;
    platform::MemoryUserDefaults defaults_;
    ShortcutStore store_;
    WindowCommands commands_;
    platform::ManualMainQueue queue_;
    std::unique_ptr<CorvantaView> view_;
};

void typeAndPaint(benchmark::State& state, const fs::path& resources) {
    Panel panel(resources);
    ShortcutListView& list = panel.list();
    QImage image(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    // Typed one character at a time, then cleared (the whole pack) and typed
    // again: every step changes the query and misses the filter cache.
    const std::string phrase = panel.typedPhrase();
    std::size_t typed = 0;
    std::vector<double> milliseconds;
    int shown = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        typed = (typed + 1) % (phrase.size() + 1);
        panel.store().query = phrase.substr(0, typed);
        panel.runTurn();
        image.fill(Qt::transparent);
        list.viewport()->render(&image);
        const auto end = std::chrono::steady_clock::now();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        shown = static_cast<int>(list.rows().size());
        benchmark::DoNotOptimize(image.constBits());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    if (!milliseconds.empty()) {
        state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
        state.counters["p90_ms"] = milliseconds[milliseconds.size() * 9 / 10];
    }
    state.counters["pack_shortcuts"] = panel.packSize();
    state.counters["packs"] = static_cast<double>(panel.store().software->size());
    state.counters["last_rows"] = shown;
    state.SetLabel(phrase);
}

void BM_KeystrokeToPaintedList_Shipped(benchmark::State& state) {
    typeAndPaint(state, kShippedResources);
}
BENCHMARK(BM_KeystrokeToPaintedList_Shipped)->Unit(benchmark::kMillisecond);

void BM_KeystrokeToPaintedList_ShippedTwentyTimes(benchmark::State& state) {
    static const TemporaryFolder folder("repeated");
    static const bool written = (writeRepeatedCatalog(folder.path, kShippedResources, 20), true);
    benchmark::DoNotOptimize(written);
    typeAndPaint(state, folder.path);
}
BENCHMARK(BM_KeystrokeToPaintedList_ShippedTwentyTimes)->Unit(benchmark::kMillisecond);

void BM_KeystrokeToPaintedList_SyntheticTwentyTimes(benchmark::State& state) {
    static const TemporaryFolder folder("synthetic");
    static const SyntheticCatalog catalog = writeSyntheticCatalog(folder.path, 100 * 20, 40);
    typeAndPaint(state, catalog.root);
}
BENCHMARK(BM_KeystrokeToPaintedList_SyntheticTwentyTimes)->Unit(benchmark::kMillisecond);

// A key typed into the focused search field, on the panel's own window: the
// key's handling renders the query and repaints field, result bar and list
// before it returns, as on screen. Keys alternate between a letter and
// BackSpace, so each one changes the whole list. With `pasted`, the field
// first takes that text from the clipboard, and the paste is timed too.
void typeIntoField(benchmark::State& state, const QString& pasted) {
    Panel panel(kShippedResources);
    ShortcutSearchField& field = *panel.view().toolbar()->searchField();
    panel.view().activateWindow();
    field.setFocus();
    QApplication::processEvents();
    auto timedKey = [&](int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        const auto start = std::chrono::steady_clock::now();
        QApplication::sendEvent(&field, &press);
        const auto end = std::chrono::steady_clock::now();
        QApplication::sendEvent(&field, &release);
        panel.runTurn();
        QApplication::processEvents();
        return std::chrono::duration<double, std::milli>(end - start).count();
    };
    if (!pasted.isEmpty()) {
        QGuiApplication::clipboard()->setText(pasted);
        state.counters["paste_ms"] = timedKey(Qt::Key_V, Qt::ControlModifier, QString());
        state.counters["query_bytes"] = double(panel.store().query->size());
    }
    static const char kLetters[] = "etaoinsr";
    int letter = 0;
    bool hasText = false;
    std::vector<double> milliseconds;
    for (auto _ : state) {
        const int key = hasText ? int(Qt::Key_Backspace) : int(Qt::Key_A) + kLetters[letter] - 'a';
        const QString text = hasText ? QString() : QString(QLatin1Char(kLetters[letter]));
        milliseconds.push_back(timedKey(key, Qt::NoModifier, text));
        if (!hasText)
            letter = (letter + 1) % int(sizeof kLetters - 1);
        hasText = !hasText;
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    if (!milliseconds.empty()) {
        state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
        state.counters["p90_ms"] = milliseconds[milliseconds.size() * 9 / 10];
        state.counters["max_ms"] = milliseconds.back();
    }
}

void BM_TypedKeyToRepaintedPanel(benchmark::State& state) {
    typeIntoField(state, QString());
}
BENCHMARK(BM_TypedKeyToRepaintedPanel)->Unit(benchmark::kMillisecond);

// The same after a megabyte of words was pasted into the field: the goal is
// under 50 ms for the paste and for every key after it.
void BM_TypedKeyAfterMegabytePaste(benchmark::State& state) {
    static const char* kWords[] = {"copy ", "paste ", "layer ", "zoom ", "tool ", "brush "};
    QString pasted;
    for (int i = 0; pasted.size() < 1'000'000; ++i) pasted += QLatin1String(kWords[i % 6]);
    typeIntoField(state, pasted);
}
BENCHMARK(BM_TypedKeyAfterMegabytePaste)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvanta::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    corvanta::SymbolImage::setDirectory(QStringLiteral(CORVANTA_SOURCE_DIR "/resources/symbols"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
