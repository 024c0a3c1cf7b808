// Opening the settings file: read, parse and decode into the store, for files
// of N and 4N small entries (the cost must grow linearly with the entries) and
// for 16 MB files, the largest the reader meets.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>

#include "platform/foundation/SettingsDocument.h"
#include "platform/foundation/UserDefaults.h"

namespace corvanta::bench {
namespace {

namespace fs = std::filesystem;
using platform::DefaultsValue;

constexpr std::size_t kSixteenMegabytes = 16'000'000;

// Small entries of every type, cycling, as the app's own writer prints them.
DefaultsValue smallValue(std::size_t i) {
    switch (i % 5) {
        case 0:
            return std::string("value ") + std::to_string(i);
        case 1:
            return i % 2 == 0;
        case 2:
            return static_cast<std::int64_t>(i);
        case 3:
            return static_cast<double>(i) / 7.0;
        default:
            return std::vector<std::string>{"a", std::to_string(i)};
    }
}

std::string smallEntriesDocument(std::size_t entries) {
    platform::SettingsDocument document;
    for (std::size_t i = 0; i < entries; ++i)
        document.values.emplace("key" + std::to_string(i), smallValue(i));
    return document.serialize();
}

// As many small entries as fill `bytes`.
std::string smallEntriesOfSize(std::size_t bytes) {
    const std::size_t perEntry = smallEntriesDocument(10'000).size() / 10'000;
    std::size_t entries = bytes / perEntry;
    std::string text = smallEntriesDocument(entries);
    while (text.size() > bytes) {
        entries -= (text.size() - bytes) / perEntry + 1;
        text = smallEntriesDocument(entries);
    }
    return text;
}

// A few settings beside one large data value (stored feedback records).
std::string largeValueDocument(std::size_t bytes) {
    platform::SettingsDocument document;
    for (std::size_t i = 0; i < 20; ++i)
        document.values.emplace("key" + std::to_string(i), smallValue(i));
    // Base64 grows data by 4/3; leave room for the rest of the document.
    platform::Data data(bytes / 4 * 3 - 4096);
    std::mt19937 random(7);
    for (auto& byte : data) byte = static_cast<std::uint8_t>(random());
    document.values.emplace("CorvantaFeedbackReports", std::move(data));
    return document.serialize();
}

// One settings folder per document, removed at exit.
class Folders {
public:
    ~Folders() {
        std::error_code ignored;
        for (const auto& [name, folder] : folders_) fs::remove_all(folder, ignored);
    }
    const fs::path& get(const std::string& name, const std::function<std::string()>& make) {
        auto it = folders_.find(name);
        if (it == folders_.end()) {
            std::random_device random;
            const fs::path folder =
                fs::temp_directory_path() / ("corvanta-settings-bench-" + std::to_string(random()));
            fs::create_directories(folder);
            std::ofstream(folder / "domain.json", std::ios::binary) << make();
            it = folders_.emplace(name, folder).first;
        }
        return it->second;
    }

private:
    std::map<std::string, fs::path> folders_;
};

Folders& folders() {
    static Folders instance;
    return instance;
}

void openSettings(benchmark::State& state, const fs::path& folder) {
    const auto bytes = static_cast<double>(fs::file_size(folder / "domain.json"));
    std::size_t entries = 0;
    for (auto _ : state) {
        std::optional<platform::JsonFileUserDefaults> defaults(std::in_place, folder, "domain");
        if (defaults->movedAsidePath()) {
            state.SkipWithError("the file was refused");
            return;
        }
        // Closing the store is not part of opening it.
        state.PauseTiming();
        defaults.reset();
        state.ResumeTiming();
    }
    {
        std::ifstream in(folder / "domain.json", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        entries = platform::SettingsDocument::parse(text)->values.size();
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["MB"] = bytes / 1e6;
    state.counters["ns_per_entry"] = benchmark::Counter(
        static_cast<double>(entries) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_OpenSmallEntries(benchmark::State& state) {
    const auto entries = static_cast<std::size_t>(state.range(0));
    openSettings(state, folders().get("entries" + std::to_string(entries),
                                      [entries] { return smallEntriesDocument(entries); }));
}
// N and 4N, twice: 4N must cost at most 4.5 times N. 25,000 entries (1.8 MB)
// still fit a core's 2 MiB cache on the machine we measure; 50,000 no longer.
BENCHMARK(BM_OpenSmallEntries)
    ->Arg(25'000)
    ->Arg(100'000)
    ->Arg(50'000)
    ->Arg(200'000)
    ->Unit(benchmark::kMillisecond);

void BM_Open16MBSmallEntries(benchmark::State& state) {
    openSettings(
        state, folders().get("16MB entries", [] { return smallEntriesOfSize(kSixteenMegabytes); }));
}
BENCHMARK(BM_Open16MBSmallEntries)->Unit(benchmark::kMillisecond);

void BM_Open16MBLargeValue(benchmark::State& state) {
    openSettings(state,
                 folders().get("16MB value", [] { return largeValueDocument(kSixteenMegabytes); }));
}
BENCHMARK(BM_Open16MBLargeValue)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvanta::bench

// The same for jemalloc, which this program links as the app does: by default
// it gives the pages of freed extents back after a while, at once for those
// over 8 MiB, and will not carve a small request out of a much larger cached
// extent. A loop of opens then recycles every page of a 25,000-entry file and
// faults in anew about 17 MB per open of a 100,000-entry one, which made the
// larger files look 6 to 10 times as slow instead of 4. Read at jemalloc's
// start; without jemalloc it is an unused name.
extern "C" {
const char* malloc_conf = "dirty_decay_ms:-1,muzzy_decay_ms:-1,lg_extent_max_active_fit:60";
}

int main(int argc, char** argv) {
    // The app opens its settings once, into fresh memory, whatever their size.
    // A loop of opens instead lets glibc recycle the buffers of small files
    // while it maps and faults in anew every buffer over its mmap threshold
    // (32 MiB at most), which would weigh the large files alone. Serving every
    // size from the heap keeps the ratio between sizes about the code.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
