// Start-up and search costs of the catalog: store construction (load,
// validate, merge, index) with warm and with cold caches, normalisation
// throughput, the filtered list on a cache miss and a cache hit, and the first
// search after a load.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "SyntheticCatalog.h"
#include "catalog/Normalize.h"
#include "catalog/ShortcutStore.h"

namespace corvanta::bench {
namespace {

// One generated bundle per size, removed at exit.
class Bundles {
public:
    ~Bundles() {
        std::error_code ignored;
        for (const auto& [scale, catalog] : catalogs_)
            std::filesystem::remove_all(catalog.root, ignored);
    }
    const SyntheticCatalog& get(int scale) {
        auto it = catalogs_.find(scale);
        if (it == catalogs_.end()) {
            std::random_device random;
            const auto root =
                std::filesystem::temp_directory_path() /
                ("corvanta-bench-" + std::to_string(random()) + "-" + std::to_string(scale));
            it = catalogs_.emplace(scale, writeSyntheticCatalog(root, 100 * scale, 40)).first;
        }
        return it->second;
    }

private:
    std::map<int, SyntheticCatalog> catalogs_;
};

Bundles& bundles() {
    static Bundles instance;
    return instance;
}

// Reading a buffer twice the size of the largest processor cache pushes out
// whatever an earlier iteration left there.
class CacheFlusher {
public:
    CacheFlusher() {
        std::size_t largest = 32u << 20;
        const long level3 = sysconf(_SC_LEVEL3_CACHE_SIZE);
        const long level2 = sysconf(_SC_LEVEL2_CACHE_SIZE);
        largest = std::max({largest, static_cast<std::size_t>(std::max(level3, 0L)),
                            static_cast<std::size_t>(std::max(level2, 0L))});
        lines_.assign(2 * largest / sizeof(std::uint64_t), 1);
    }
    void flush() {
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < lines_.size(); i += 8) sum += lines_[i];
        benchmark::DoNotOptimize(sum);
    }

private:
    std::vector<std::uint64_t> lines_;
};

// Each iteration loads a fresh store. `cold` empties the processor caches
// before each one: warm, the small catalog finds the memory its predecessor
// just freed still cached, which the large one, bigger than the caches, never
// can; cold, both start as a launch does.
void storeConstruction(benchmark::State& state, bool cold) {
    const SyntheticCatalog& catalog = bundles().get(static_cast<int>(state.range(0)));
    const platform::Bundle bundle(catalog.root, "app.corvanta.bench");
    std::optional<CacheFlusher> flusher;
    if (cold)
        flusher.emplace();
    std::size_t shortcuts = 0;
    for (auto _ : state) {
        if (flusher) {
            state.PauseTiming();
            flusher->flush();
            state.ResumeTiming();
        }
        platform::MemoryUserDefaults defaults;
        auto store = std::make_unique<ShortcutStore>(bundle, defaults);
        // The search index is built with the catalog and belongs to the cost.
        shortcuts = store->searchDocuments().size();
        benchmark::DoNotOptimize(shortcuts);
        // Tearing the store down is not part of start-up.
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.counters["packs"] = static_cast<double>(100 * state.range(0));
    state.counters["shortcuts"] = static_cast<double>(shortcuts);
}

void BM_StoreConstruction(benchmark::State& state) {
    storeConstruction(state, false);
}
BENCHMARK(BM_StoreConstruction)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_StoreConstructionColdCache(benchmark::State& state) {
    storeConstruction(state, true);
}
BENCHMARK(BM_StoreConstructionColdCache)
    ->Arg(1)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

void BM_Normalize(benchmark::State& state) {
    const std::vector<std::string>& texts = bundles().get(1).texts;
    std::size_t bytes = 0;
    for (const auto& text : texts) bytes += text.size();
    for (auto _ : state) {
        for (const auto& text : texts) benchmark::DoNotOptimize(normalize(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["texts"] = static_cast<double>(texts.size());
}
BENCHMARK(BM_Normalize)->Unit(benchmark::kMillisecond);

struct SearchFixture {
    SearchFixture() {
        const SyntheticCatalog& catalog = bundles().get(1);
        bundle = std::make_unique<platform::Bundle>(catalog.root, "app.corvanta.bench");
        store = std::make_unique<ShortcutStore>(*bundle, defaults);
        store->selectSoftware(catalog.largestPackID);
    }
    platform::MemoryUserDefaults defaults;
    std::unique_ptr<platform::Bundle> bundle;
    std::unique_ptr<ShortcutStore> store;
};

SearchFixture& searchFixture() {
    static SearchFixture fixture;
    return fixture;
}

void BM_FilteredSectionsCacheMiss(benchmark::State& state) {
    ShortcutStore& store = *searchFixture().store;
    const std::string queries[2] = {"save sel", "zoom ⌘"};
    std::size_t i = 0;
    int shown = 0;
    for (auto _ : state) {
        store.query = queries[i++ & 1];
        shown = 0;
        for (const auto& section : store.filteredSections())
            shown += static_cast<int>(section.items.size());
        benchmark::DoNotOptimize(shown);
    }
    state.counters["pack shortcuts"] = store.selectedSoftware()->shortcutCount();
    state.counters["shown"] = shown;
}
BENCHMARK(BM_FilteredSectionsCacheMiss)->Unit(benchmark::kMicrosecond);

void BM_FilteredSectionsCacheHit(benchmark::State& state) {
    ShortcutStore& store = *searchFixture().store;
    store.query = std::string("save sel");
    benchmark::DoNotOptimize(store.filteredSections());
    for (auto _ : state) benchmark::DoNotOptimize(store.filteredSections().size());
}
BENCHMARK(BM_FilteredSectionsCacheHit)->Unit(benchmark::kMicrosecond);

// The first keystroke after launch against a later one: each iteration loads
// a fresh store (untimed) and times one search of the largest pack that
// misses the cache. `warmUp` runs another search first, as a later keystroke
// finds it.
void searchAfterLoad(benchmark::State& state, bool warmUp) {
    const SyntheticCatalog& catalog = bundles().get(1);
    const platform::Bundle bundle(catalog.root, "app.corvanta.bench");
    int shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        platform::MemoryUserDefaults defaults;
        auto store = std::make_unique<ShortcutStore>(bundle, defaults);
        store->selectSoftware(catalog.largestPackID);
        if (warmUp) {
            store->query = std::string("zoom ⌘");
            benchmark::DoNotOptimize(store->filteredSections().size());
        }
        store->query = std::string("save sel");
        state.ResumeTiming();
        shown = 0;
        for (const auto& section : store->filteredSections())
            shown += static_cast<int>(section.items.size());
        benchmark::DoNotOptimize(shown);
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.counters["shown"] = shown;
}

void BM_FirstSearchAfterLoad(benchmark::State& state) {
    searchAfterLoad(state, false);
}
// A store load per iteration keeps the count fixed; the timed part is short.
BENCHMARK(BM_FirstSearchAfterLoad)->Unit(benchmark::kMicrosecond)->Iterations(300);

void BM_LaterSearchAfterLoad(benchmark::State& state) {
    searchAfterLoad(state, true);
}
BENCHMARK(BM_LaterSearchAfterLoad)->Unit(benchmark::kMicrosecond)->Iterations(300);

}  // namespace
}  // namespace corvanta::bench

BENCHMARK_MAIN();
