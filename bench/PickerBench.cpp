// Typing in the pack picker's search field: each keystroke re-filters every
// pack, re-renders the popover and repaints it, on the offscreen platform.
// Runs over the shipped catalog and over that catalog loaded 20 times over.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "SyntheticCatalog.h"
#include "catalog/ShortcutStore.h"
#include "interface/CorvantaView.h"
#include "interface/PickerSearchField.h"
#include "interface/SoftwarePickerPopover.h"
#include "interface/WindowCommands.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/qt/ManualMainQueue.h"

namespace corvanta::bench {
namespace {

// A bundle whose catalog files hold every shipped pack `copies` times.
std::filesystem::path repeatedCatalogFolder(int copies) {
    std::random_device random;
    const auto root = std::filesystem::temp_directory_path() /
                      ("corvanta-picker-bench-" + std::to_string(random()));
    writeRepeatedCatalog(root, std::filesystem::path(CORVANTA_SOURCE_DIR) / "resources", copies);
    return root;
}

struct OpenPicker {
    explicit OpenPicker(int copies) : root(repeatedCatalogFolder(copies)) {
        platform::MainQueue::setShared(&queue);
        store =
            std::make_unique<ShortcutStore>(platform::Bundle(root, "app.corvanta.bench"), defaults);
        view = std::make_unique<CorvantaView>(*store, commands);
        view->resize(420, 620);
        view->show();
        store->isExpanded = true;
        view->model().set(&CorvantaViewState::showsSoftwarePicker, true);
        settle();
        view->model().set(&CorvantaViewState::softwarePickerSearchIsActive, true);
        settle();
        field = view->softwarePicker()->searchField();
    }
    ~OpenPicker() {
        view.reset();
        store.reset();
        platform::MainQueue::setShared(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    void settle() {
        queue.runUntilIdle();
        QApplication::processEvents();
    }

    std::filesystem::path root;
    platform::ManualMainQueue queue;
    platform::MemoryUserDefaults defaults;
    WindowCommands commands;
    std::unique_ptr<ShortcutStore> store;
    std::unique_ptr<CorvantaView> view;
    PickerSearchField* field = nullptr;
};

// Types "pho", then deletes it again, one keystroke per iteration, each to
// the repainted popover. With `pasted`, the field first takes that text from
// the clipboard, and the paste is timed too.
void typeIntoPicker(benchmark::State& state, int copies, const QString& pasted) {
    OpenPicker picker(copies);
    if (!picker.field) {
        state.SkipWithError("the picker's search field did not appear");
        return;
    }
    SoftwarePickerPopover& popover = *picker.view->softwarePicker();
    auto timedKey = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(picker.field, key, modifiers);
        picker.view->model().renderNow();
        picker.queue.runUntilIdle();
        benchmark::DoNotOptimize(popover.grab());
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        return elapsed.count();
    };
    if (!pasted.isEmpty()) {
        QGuiApplication::clipboard()->setText(pasted);
        state.counters["paste_ms"] = timedKey(Qt::Key_V, Qt::ControlModifier) * 1000;
    }
    const std::vector<Qt::Key> keys{Qt::Key_P,         Qt::Key_H,         Qt::Key_O,
                                    Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace};
    std::vector<double> milliseconds;
    std::size_t step = 0;
    for (auto _ : state) {
        const double seconds = timedKey(keys[step++ % keys.size()], Qt::NoModifier);
        state.SetIterationTime(seconds);
        milliseconds.push_back(seconds * 1000);
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
    state.counters["max_ms"] = milliseconds.back();
    state.counters["packs"] = static_cast<double>(picker.store->software.get().size());
}

void BM_PickerKeystroke(benchmark::State& state) {
    typeIntoPicker(state, static_cast<int>(state.range(0)), QString());
}
BENCHMARK(BM_PickerKeystroke)->Arg(1)->Arg(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same after a megabyte of words was pasted into the field: the goal is
// under 50 ms for the paste and for every key after it.
void BM_PickerKeystrokeAfterMegabytePaste(benchmark::State& state) {
    QString pasted;
    while (pasted.size() < 1'000'000) pasted += QStringLiteral("photo shop ");
    typeIntoPicker(state, 1, pasted);
}
BENCHMARK(BM_PickerKeystrokeAfterMegabytePaste)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvanta::bench
