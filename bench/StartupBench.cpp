// Start-up and memory of the real binary on an X display (run it under
// xvfb-run with a 1440 × 900 screen): the time from exec to the first painted
// frame of the collapsed panel, against a bare Qt window started the same way
// (the ratio of medians is the counter "ratio_to_bare"), and the resident
// memory with the panel expanded on the largest pack.
// Usage: startup_bench --corvanta=<path> --bare=<path> [benchmark flags]
#include <benchmark/benchmark.h>

#include "BenchSandbox.h"

#include <xcb/xcb.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
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

// Where both programs put their first window on a 1440 × 900 screen.
constexpr int kProbeX = 1188 + 115;
constexpr int kProbeY = 110 + 4;

using Clock = std::chrono::steady_clock;

using corvanta::bench::Sandbox;

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

// The screen pixel at the probe point, 0xRRGGBB.
std::uint32_t probePixel(xcb_connection_t* connection, xcb_window_t root) {
    auto* reply = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, kProbeX, kProbeY, 1, 1, ~0u),
        nullptr);
    std::uint32_t value = 0;
    if (reply && xcb_get_image_data_length(reply) >= 4)
        std::memcpy(&value, xcb_get_image_data(reply), 4);
    std::free(reply);
    return value & 0xFFFFFF;
}

// Seconds from exec until the program's first frame shows at the probe point.
double timeToFirstFrame(const Launch& program, benchmark::State& state) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        state.SkipWithError("no X display; run under xvfb-run");
        return 0;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t background = probePixel(connection, root);
    Sandbox sandbox;
    const auto start = Clock::now();
    const pid_t pid = launch(program, sandbox);
    double seconds = -1;
    while (Clock::now() - start < std::chrono::seconds(10)) {
        if (probePixel(connection, root) != background) {
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    stop(pid);
    xcb_disconnect(connection);
    // Let the screen clear before the next round.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (seconds < 0)
        state.SkipWithError("no frame within 10 s");
    return seconds;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The three programs take turns, launch after launch, so that a machine that
// gets busier or quieter during the run weighs on each of them alike. The
// iteration time is Corvanta's; the counters hold the medians and the ratios.
void BM_FirstFrameInterleaved(benchmark::State& state) {
    std::vector<double> bare, bareWithText, corvanta;
    for (auto _ : state) {
        bare.push_back(timeToFirstFrame(Launch{&barePath}, state));
        bareWithText.push_back(timeToFirstFrame(Launch{&barePath, "--text"}, state));
        corvanta.push_back(timeToFirstFrame(Launch{&corvantaPath}, state));
        state.SetIterationTime(corvanta.back());
    }
    const double bareMedian = median(bare);
    const double textMedian = median(bareWithText);
    const double corvantaMedian = median(corvanta);
    state.counters["bare_ms"] = bareMedian * 1000;
    state.counters["bare_text_ms"] = textMedian * 1000;
    state.counters["corvanta_ms"] = corvantaMedian * 1000;
    state.counters["ratio_to_bare"] = bareMedian > 0 ? corvantaMedian / bareMedian : 0;
    state.counters["ratio_to_bare_text"] = textMedian > 0 ? corvantaMedian / textMedian : 0;
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
    }
    if (corvantaPath.empty() || barePath.empty()) {
        std::fprintf(stderr, "usage: %s --corvanta=<path> --bare=<path>\n", argv[0]);
        return 2;
    }
    benchmark::RegisterBenchmark("FirstFrame/interleaved", BM_FirstFrameInterleaved)
        ->UseManualTime()
        ->Iterations(31)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ResidentMemory/expanded_largest_pack", BM_ResidentMemoryExpanded)
        ->UseManualTime()
        ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
