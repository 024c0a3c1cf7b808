// Start-up and memory of the real binary on an X display (run it under
// xvfb-run with a 1440 × 900 screen, or through startup-bench.sh, which can add
// a window manager and a tray): the time from exec to the first painted frame
// of the collapsed panel, against a bare Qt window started the same way (the
// ratio of medians is the counter "ratio_to_bare"), and the resident memory
// with the panel expanded on the largest pack. A frame counts as painted when
// the screen reports drawing (DAMAGE) and the probe point then shows neither
// what was there before nor the black of a window mapped without its content;
// the rounds in which the panel was seen black, and the longest such wait, are
// the counters "corvanta_black_rounds" and "corvanta_black_max_ms".
// Usage: startup_bench --corvanta=<path> --bare=<path> [--before=<path>] [benchmark flags]
#include <benchmark/benchmark.h>

#include "BenchSandbox.h"
#include "XDriver.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "catalog/ShortcutStore.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"

namespace {

std::string corvantaPath;
std::string barePath;
// Another build of the app, taking its turn in every round (before and after
// a change, measured alike).
std::string beforePath;

// Where both programs put their first window on a 1440 × 900 screen.
constexpr int kProbeX = 1188 + 115;
constexpr int kProbeY = 110 + 4;

using corvanta::bench::Clock;
using corvanta::bench::Sandbox;
using corvanta::bench::XDriver;

// A program and its one optional argument.
struct Launch {
    const std::string* program;
    const char* argument = nullptr;
};

pid_t launch(const Launch& what, const Sandbox& sandbox) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", sandbox.config().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", sandbox.runtime().c_str(), 1);
        const char* program = what.program->c_str();
        execl(program, program, what.argument, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

// When a launch's window first showed at the probe point, and when its first
// frame did, in seconds from exec.
struct FirstFrame {
    double mapped = -1;
    double painted = -1;
};

FirstFrame timeToFirstFrame(const Launch& program, XDriver& driver, benchmark::State& state,
                            const std::string& settings = {}) {
    const std::uint32_t background = driver.pixelAt(kProbeX, kProbeY);
    Sandbox sandbox;
    if (!settings.empty())
        std::ofstream(sandbox.config() / "corvanta" / "settings.json") << settings;
    driver.watch(driver.root());
    driver.discardDamage();
    const auto start = Clock::now();
    const pid_t pid = launch(program, sandbox);
    const auto deadline = start + std::chrono::seconds(10);
    const auto since = [start](Clock::time_point when) {
        return std::chrono::duration<double>(when - start).count();
    };
    FirstFrame frame;
    while (frame.painted < 0) {
        const auto when = driver.nextDamageBatch(driver.root(), deadline);
        if (!when)
            break;
        // Read once per batch of reports: should the frame follow the map in
        // the same batch, the two count as one moment.
        const std::uint32_t pixel = driver.pixelAt(kProbeX, kProbeY);
        if (pixel == background)
            continue;
        if (frame.mapped < 0)
            frame.mapped = since(*when);
        if (pixel != 0)
            frame.painted = since(*when);
    }
    stop(pid);
    driver.forget(driver.root());
    // Let the screen clear before the next round.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (frame.painted < 0)
        state.SkipWithError("no painted frame within 10 s");
    return frame;
}

// Linear between neighbours; 0 for no values.
double quantile(std::vector<double> values, double q) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double at = q * double(values.size() - 1);
    const std::size_t below = std::size_t(at);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - double(below));
}

double median(std::vector<double> values) {
    return quantile(std::move(values), 0.5);
}

// Opens the X connection a benchmark watches the screen through; false, with
// the benchmark skipped, where there is no display.
bool openDriver(std::optional<XDriver>& driver, benchmark::State& state) {
    try {
        driver.emplace();
        return true;
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return false;
    }
}

// The three programs take turns, launch after launch, so that a machine that
// gets busier or quieter during the run weighs on each of them alike. The
// iteration time is Corvanta's; the counters hold the medians, the ratios and
// the spread (the middle half of the ratios of each round).
void BM_FirstFrameInterleaved(benchmark::State& state) {
    std::optional<XDriver> driver;
    if (!openDriver(driver, state))
        return;
    std::vector<double> bare, bareWithText, corvanta, before, black, ratios, beforeRatios;
    int blackSeen = 0;
    int beforeBlackSeen = 0;
    for (auto _ : state) {
        bare.push_back(timeToFirstFrame(Launch{&barePath}, *driver, state).painted);
        bareWithText.push_back(
            timeToFirstFrame(Launch{&barePath, "--text"}, *driver, state).painted);
        const double text = bareWithText.back();
        if (!beforePath.empty()) {
            const FirstFrame earlier = timeToFirstFrame(Launch{&beforePath}, *driver, state);
            before.push_back(earlier.painted);
            beforeBlackSeen += earlier.painted > earlier.mapped;
            if (text > 0)
                beforeRatios.push_back(before.back() / text);
        }
        const FirstFrame frame = timeToFirstFrame(Launch{&corvantaPath}, *driver, state);
        corvanta.push_back(frame.painted);
        black.push_back(frame.painted - frame.mapped);
        blackSeen += frame.painted > frame.mapped;
        if (text > 0)
            ratios.push_back(frame.painted / text);
        state.SetIterationTime(std::max(frame.painted, 0.0));
    }
    const double bareMedian = median(bare);
    const double textMedian = median(bareWithText);
    const double corvantaMedian = median(corvanta);
    state.counters["bare_ms"] = bareMedian * 1000;
    state.counters["bare_text_ms"] = textMedian * 1000;
    state.counters["corvanta_ms"] = corvantaMedian * 1000;
    // Rounds in which the panel was seen black before its frame, and for how long.
    state.counters["corvanta_black_rounds"] = blackSeen;
    state.counters["corvanta_black_max_ms"] = *std::max_element(black.begin(), black.end()) * 1000;
    state.counters["ratio_to_bare"] = bareMedian > 0 ? corvantaMedian / bareMedian : 0;
    state.counters["ratio_to_bare_text"] = textMedian > 0 ? corvantaMedian / textMedian : 0;
    state.counters["ratio_q1"] = quantile(ratios, 0.25);
    state.counters["ratio_q3"] = quantile(ratios, 0.75);
    if (!before.empty()) {
        state.counters["before_ms"] = median(before) * 1000;
        state.counters["before_ratio_to_bare_text"] =
            textMedian > 0 ? median(before) / textMedian : 0;
        state.counters["before_ratio_q1"] = quantile(beforeRatios, 0.25);
        state.counters["before_ratio_q3"] = quantile(beforeRatios, 0.75);
        state.counters["before_black_rounds"] = beforeBlackSeen;
    }
}

// A settings file holding `count` favourites of the shipped catalog's packs,
// most of them no longer in it (what years of starring leave behind), in the
// byte order the app writes them.
std::string settingsWithFavorites(int count) {
    const char* packs[] = {"figma", "vscode", "word", "excel", "photoshop"};
    std::vector<std::string> keys;
    keys.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        keys.push_back(std::string(packs[i % 5]) + ":starred-" + std::to_string(i));
    std::sort(keys.begin(), keys.end());
    std::string file = R"({"CorvantaFavorites": {"type": "stringArray", "value": [)";
    for (const std::string& key : keys) {
        if (&key != &keys.front())
            file += ',';
        file += '"' + key + '"';
    }
    return file + "]}}";
}

// The same app with and without 100,000 favourites, taking turns; the
// counter is what the favourites add to the first frame (the median of the
// rounds' differences, with their middle half).
void BM_FirstFrameWithFavorites(benchmark::State& state) {
    std::optional<XDriver> driver;
    if (!openDriver(driver, state))
        return;
    const std::string settings = settingsWithFavorites(100'000);
    std::vector<double> without, with, added;
    for (auto _ : state) {
        without.push_back(timeToFirstFrame(Launch{&corvantaPath}, *driver, state).painted);
        with.push_back(timeToFirstFrame(Launch{&corvantaPath}, *driver, state, settings).painted);
        added.push_back(with.back() - without.back());
        state.SetIterationTime(std::max(with.back(), 0.0));
    }
    state.counters["without_ms"] = median(without) * 1000;
    state.counters["with_ms"] = median(with) * 1000;
    state.counters["added_ms"] = median(added) * 1000;
    state.counters["added_q1_ms"] = quantile(added, 0.25) * 1000;
    state.counters["added_q3_ms"] = quantile(added, 0.75) * 1000;
}

std::string largestPackID() {
    const std::filesystem::path resources =
        std::filesystem::path(corvantaPath).parent_path() / "resources";
    corvanta::platform::MemoryUserDefaults defaults;
    corvanta::ShortcutStore store(corvanta::platform::Bundle(resources, "org.corvanta.Bench"),
                                  defaults);
    const corvanta::SoftwarePack* largest = nullptr;
    for (const auto& pack : store.software.get())
        if (!largest || pack.shortcutCount() > largest->shortcutCount())
            largest = &pack;
    return largest ? largest->id : std::string();
}

long residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// Expanded on the largest pack, scrolled through once, then measured.
void BM_ResidentMemoryExpanded(benchmark::State& state) {
    const std::string pack = largestPackID();
    for (auto _ : state) {
        Sandbox sandbox;
        std::ofstream(sandbox.config() / "corvanta" / "settings.json")
            << R"({"CorvantaSoftware": {"type": "string", "value": ")" << pack << R"("}})";
        const pid_t pid = launch(Launch{&corvantaPath}, sandbox);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        // The bar's expand button, then a few wheel turns over the list.
        std::system("xdotool mousemove 1359 141 click 1");
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        std::system("xdotool mousemove 1200 500 click --repeat 20 5");
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const long kilobytes = residentKilobytes(pid);
        stop(pid);
        state.counters["resident_MB"] = double(kilobytes) / 1024.0;
        state.SetIterationTime(1);
    }
    state.SetLabel(pack);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--corvanta=", 0) == 0)
            corvantaPath = arg.substr(11);
        else if (arg.rfind("--bare=", 0) == 0)
            barePath = arg.substr(7);
        else if (arg.rfind("--before=", 0) == 0)
            beforePath = arg.substr(9);
    }
    if (corvantaPath.empty() || barePath.empty()) {
        std::fprintf(stderr, "usage: %s --corvanta=<path> --bare=<path> [--before=<path>]\n",
                     argv[0]);
        return 2;
    }
    benchmark::RegisterBenchmark("FirstFrame/interleaved", BM_FirstFrameInterleaved)
        ->UseManualTime()
        ->Iterations(31)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FirstFrame/with_100k_favorites", BM_FirstFrameWithFavorites)
        ->UseManualTime()
        ->Iterations(21)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ResidentMemory/expanded_largest_pack", BM_ResidentMemoryExpanded)
        ->UseManualTime()
        ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
