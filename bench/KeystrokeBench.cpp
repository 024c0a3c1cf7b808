// One keystroke as the user feels it, measured from outside the process on an
// X display (run it under xvfb-run with a 1440 × 900 screen): a key is pressed
// through XTEST and the time runs until the X server reports the first
// drawing into the window (for a bare field, the typed character), and on
// until the last drawing before the window goes quiet (the whole changed
// screen: for the panel, the field, the result bar and the filtered list).
// The key is released only after that, as a person's release comes tens of
// milliseconds after the press. The real binary, expanded with its search
// field focused, takes turns with a bare focused line edit; the counters hold
// the medians and their ratio. Typing into the pack picker's search field is
// timed too, to the last drawing of the changed picker, against the same bare
// field. The first keystroke after launch is measured apart, over fresh
// launches, since it pays for whatever the first query builds.
// Usage: keystroke_bench [--corvanta=<path>] [--bare=<path>] [--samples=<n>]
//                        [--launches=<n>] [--launch-timeout=<s>] [benchmark flags]
#include <benchmark/benchmark.h>

#include "BenchSandbox.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "XDriver.h"

namespace corvanta::bench {
namespace {

using namespace std::chrono_literals;

struct Options {
    std::string corvanta = CORVANTA_BINARY;
    std::string bare = BARE_WINDOW_BINARY;
    int samples = 101;
    int launches = 9;
    double launchTimeoutSeconds = 10;
};
Options options;
// Any failure makes the program's exit status non-zero: a benchmark that is
// skipped with an error still lets the run end as a success otherwise.
bool anyFailure = false;

// How long a window must go undrawn before the next key, so that one key's
// trailing repaints are not counted as the next key's.
constexpr auto kSettle = 60ms;
// Longer after launch, focus and expansion: a fade may end and the search
// field take the focus a short while later, and the first key must find it.
constexpr auto kSettleAfterChange = 250ms;
constexpr auto kKeyPatience = 3s;

// A program under test, stopped when this goes away.
class Child {
public:
    Child(const std::string& program, const char* argument, const Sandbox& sandbox) {
        const pid_t parent = getpid();
        pid_ = fork();
        if (pid_ < 0)
            throw std::runtime_error("cannot fork");
        if (pid_ == 0) {
            // A benchmark killed outright must not leave its windows behind.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent)
                _exit(126);
            setenv("XDG_CONFIG_HOME", sandbox.config().c_str(), 1);
            setenv("XDG_RUNTIME_DIR", sandbox.runtime().c_str(), 1);
            unsetenv("CORVANTA_RESOURCES");
            execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Child() {
        if (exited())
            return;
        kill(pid_, SIGTERM);
        for (int i = 0; i < 200 && !exited(); ++i) std::this_thread::sleep_for(10ms);
        if (!exited()) {
            kill(pid_, SIGKILL);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    // Whether it has ended, reaping it if it just did.
    bool exited() {
        if (!status_) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = status;
        }
        return status_.has_value();
    }
    std::string howItEnded() const {
        if (!status_)
            return "is still running";
        if (WIFSIGNALED(*status_))
            return "was killed by signal " + std::to_string(WTERMSIG(*status_));
        return "exited with status " + std::to_string(WEXITSTATUS(*status_));
    }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// One launched program with its window focused and ready for typing. Keys
// alternate between a letter and BackSpace, so the field holds at most one
// letter and every key changes what it shows.
class Typist {
public:
    // Where the keys go: the window as it opens, the expanded panel's search
    // field, or the search field of the pack picker opened over it.
    enum class Field { window, panelSearch, pickerSearch };

    Typist(XDriver& x, const char* name, const std::string& program, const char* argument,
           Field field)
        : x_(x), name_(name), child_(program, argument, sandbox_) {
        try {
            prepare(program, field);
        } catch (...) {
            forgetWindows();
            throw;
        }
    }
    ~Typist() { forgetWindows(); }
    Typist(const Typist&) = delete;
    Typist& operator=(const Typist&) = delete;

    struct Timing {
        double firstDrawn;  // seconds from the key to the first drawing it causes
        double settled;     // seconds from the key to the last drawing it causes
        long rectangles;    // how many rectangles it drew
    };
    Timing keystroke();

private:
    void forgetWindows() {
        x_.forget(window_);
        if (panel_ != window_)
            x_.forget(panel_);
    }
    void prepare(const std::string& program, Field field) {
        const auto deadline =
            Clock::now() + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(options.launchTimeoutSeconds));
        while ((window_ = x_.windowOf(child_.pid())) == XCB_NONE) {
            if (child_.exited())
                fail(program + " " + child_.howItEnded() + " before showing a window");
            if (Clock::now() > deadline)
                fail(program + " showed no window");
            std::this_thread::sleep_for(5ms);
        }
        x_.watch(window_);
        // The first frame and whatever fades in after it.
        settle(deadline, "kept drawing after it started", kSettleAfterChange);
        x_.focus(window_);
        settle(deadline, "kept drawing after it took the focus", kSettleAfterChange);
        if (field == Field::window)
            return;
        // Ctrl+K expands the panel and, once the expansion is over, focuses
        // the search field.
        x_.type('k', true);
        for (;;) {
            const auto width = x_.widthOf(window_);
            if (width && *width > 300)
                break;
            if (!width || child_.exited())
                fail("the panel went away on Ctrl+K");
            if (Clock::now() > deadline)
                fail("Ctrl+K did not expand the panel");
            std::this_thread::sleep_for(5ms);
        }
        settle(deadline, "kept drawing after it expanded", kSettleAfterChange);
        if (field == Field::pickerSearch) {
            panel_ = window_;
            openPicker();
        }
    }

public:
    // The picker closes when another program takes the focus, so its keys
    // come in runs, each opened with a click on the pack button and the
    // search box and ended with Escape. A run's first two keys are not
    // timed: they are the first filtering after the picker opens.
    void openPicker() {
        const auto deadline = Clock::now() + kOpenPatience;
        x_.focus(panel_);
        settle(deadline, "kept drawing after it took the focus", kSettleAfterChange);
        const auto windows = x_.windowsOf(child_.pid());
        const auto panel = std::find_if(windows.begin(), windows.end(),
                                        [this](const auto& w) { return w.id == panel_; });
        if (panel == windows.end())
            fail("the panel went away");
        // The pack button starts 31 pixels into the header and is as high.
        x_.click(panel->x + 1 + 31 + 60, panel->y + 1 + 31);
        std::optional<XDriver::Window> popover;
        while (!(popover = pickerWindow())) {
            if (child_.exited())
                fail("the program " + child_.howItEnded() + " on opening the picker");
            if (Clock::now() > deadline)
                fail("a click on the pack button did not open the picker");
            std::this_thread::sleep_for(5ms);
        }
        window_ = popover->id;
        x_.watch(window_);
        settle(deadline, "kept drawing after the picker opened", kSettleAfterChange);
        // The search box lies above the list, whose bottom is the hint line
        // and a divider (41 pixels) above the popover's bottom.
        x_.click(popover->x + 60, popover->y + popover->height - 41 - kPickerListHeight - 30);
        settle(deadline, "kept drawing after its search opened", kSettleAfterChange);
        x_.focusMoved();
        keystroke();
        keystroke();
    }
    void closePicker() {
        const auto deadline = Clock::now() + kOpenPatience;
        x_.type(kKeyEscape);
        while (pickerWindow()) {
            if (Clock::now() > deadline)
                fail("Escape did not close the picker");
            std::this_thread::sleep_for(5ms);
        }
        x_.forget(window_);
        window_ = panel_;
        x_.focusMoved();
        settle(deadline, "kept drawing after the picker closed", kSettleAfterChange);
    }

private:
    std::optional<XDriver::Window> pickerWindow() {
        for (const XDriver::Window& w : x_.windowsOf(child_.pid()))
            if (w.width == kPickerWidth)
                return w;
        return std::nullopt;
    }
    static constexpr auto kOpenPatience = 5s;
    static constexpr int kPickerWidth = 396;
    static constexpr int kPickerListHeight = 470;

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(std::string(name_) + ": " + what);
    }
    void settle(Clock::time_point deadline, const char* otherwise,
                Clock::duration quiet = kSettle) {
        if (!x_.waitQuiet(window_, quiet, deadline))
            fail(otherwise);
    }

    XDriver& x_;
    const char* name_;
    Sandbox sandbox_;
    Child child_;
    xcb_window_t window_ = XCB_NONE;
    xcb_window_t panel_ = XCB_NONE;  // the picker's panel
    bool hasText_ = false;
    int letter_ = 0;
};

Typist::Timing Typist::keystroke() {
    x_.focus(window_);
    settle(Clock::now() + kKeyPatience, "never stopped drawing");
    static const char kLetters[] = "etaoinsr";
    const std::uint32_t key = hasText_ ? kKeyBackSpace : std::uint32_t(kLetters[letter_]);
    x_.discardDamage();
    const long reportsBefore = x_.reportsFor(window_);
    const Clock::time_point sent = Clock::now();
    x_.press(key);
    const auto drawn = x_.nextDamage(window_, sent + kKeyPatience);
    if (!drawn)
        fail(child_.exited() ? "the program " + child_.howItEnded()
                             : std::string("a key drew nothing within 3 s"));
    if (!hasText_)
        letter_ = (letter_ + 1) % int(sizeof kLetters - 1);
    hasText_ = !hasText_;
    // The key's last repaints end before another program's key is timed.
    Clock::time_point last = *drawn;
    if (!x_.waitQuiet(window_, kSettle, Clock::now() + kKeyPatience, &last))
        fail("never stopped drawing after a key");
    // The release (the caret's blink restarts on it) is not timed.
    x_.release(key);
    return {std::chrono::duration<double>(*drawn - sent).count(),
            std::chrono::duration<double>(last - sent).count(),
            x_.reportsFor(window_) - reportsBefore};
}

Typist panel(XDriver& x) {
    return Typist(x, "corvanta", options.corvanta, nullptr, Typist::Field::panelSearch);
}
Typist picker(XDriver& x) {
    return Typist(x, "corvanta picker", options.corvanta, nullptr, Typist::Field::pickerSearch);
}
Typist bareField(XDriver& x) {
    return Typist(x, "bare line edit", options.bare, "--line-edit", Typist::Field::window);
}

double quantile(std::vector<double> values, double q) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double place = q * double(values.size() - 1);
    const std::size_t below = std::size_t(std::floor(place));
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (place - double(below));
}

void report(benchmark::State& state, const std::string& error) {
    std::fprintf(stderr, "keystroke_bench: %s\n", error.c_str());
    anyFailure = true;
    state.SkipWithError(error.c_str());
}

void setCounters(benchmark::State& state, const char* suffix, const std::vector<double>& corvanta,
                 const std::vector<double>& bare) {
    const std::string s = suffix;
    const double corvantaMedian = quantile(corvanta, 0.5);
    const double bareMedian = quantile(bare, 0.5);
    state.counters["corvanta" + s + "_ms"] = corvantaMedian * 1000;
    state.counters["bare" + s + "_ms"] = bareMedian * 1000;
    state.counters["corvanta" + s + "_p90_ms"] = quantile(corvanta, 0.9) * 1000;
    state.counters["bare" + s + "_p90_ms"] = quantile(bare, 0.9) * 1000;
    state.counters["ratio_to_bare"] = bareMedian > 0 ? corvantaMedian / bareMedian : 0;
}

void setSettledCounters(benchmark::State& state, const std::vector<double>& corvanta,
                        const std::vector<double>& bare) {
    state.counters["corvanta_settled_ms"] = quantile(corvanta, 0.5) * 1000;
    state.counters["bare_settled_ms"] = quantile(bare, 0.5) * 1000;
    state.counters["corvanta_settled_p90_ms"] = quantile(corvanta, 0.9) * 1000;
}

// Both programs run side by side and take turns key after key, so that a
// machine that gets busier or quieter during the run weighs on each alike.
// Each one's first key is left out: the benchmark below has it.
void BM_LaterKeystrokesInterleaved(benchmark::State& state) {
    std::vector<double> corvanta, bare, corvantaSettled, bareSettled;
    try {
        XDriver x;
        Typist app = panel(x);
        Typist field = bareField(x);
        app.keystroke();
        field.keystroke();
        for (auto _ : state) {
            const Typist::Timing ours = app.keystroke();
            const Typist::Timing theirs = field.keystroke();
            corvanta.push_back(ours.firstDrawn);
            bare.push_back(theirs.firstDrawn);
            corvantaSettled.push_back(ours.settled);
            bareSettled.push_back(theirs.settled);
            state.SetIterationTime(corvanta.back());
        }
    } catch (const std::exception& error) {
        report(state, error.what());
        return;
    }
    setCounters(state, "", corvanta, bare);
    setSettledCounters(state, corvantaSettled, bareSettled);
}

// Typing into the pack picker's search field, runs of its keys taking turns
// with runs of the bare field's. What counts is the whole changed picker: the filtered grid,
// the hint and the field, up to the last drawing a key causes.
void BM_PickerKeystrokesInterleaved(benchmark::State& state) {
    std::vector<double> drawn, settled, bareDrawn, bareSettled, rectangles;
    try {
        XDriver x;
        // The bare field first: taking the focus, it would close the picker.
        Typist field = bareField(x);
        field.keystroke();
        Typist app = picker(x);
        // Runs of an even number of keys leave both fields empty.
        constexpr int kRun = 10;
        std::vector<Typist::Timing> ours, theirs;
        for (auto _ : state) {
            if (ours.empty()) {
                const std::size_t left = std::size_t(state.max_iterations) - drawn.size();
                const int run = int(std::min<std::size_t>(kRun, (left + 1) / 2 * 2));
                if (drawn.size() > 0)
                    app.openPicker();
                for (int i = 0; i < run; ++i) ours.push_back(app.keystroke());
                app.closePicker();
                for (int i = 0; i < run; ++i) theirs.push_back(field.keystroke());
                std::reverse(ours.begin(), ours.end());
                std::reverse(theirs.begin(), theirs.end());
            }
            drawn.push_back(ours.back().firstDrawn);
            settled.push_back(ours.back().settled);
            rectangles.push_back(double(ours.back().rectangles));
            bareDrawn.push_back(theirs.back().firstDrawn);
            bareSettled.push_back(theirs.back().settled);
            state.SetIterationTime(ours.back().settled);
            ours.pop_back();
            theirs.pop_back();
        }
    } catch (const std::exception& error) {
        report(state, error.what());
        return;
    }
    const double bareMedian = quantile(bareSettled, 0.5);
    state.counters["picker_first_drawn_ms"] = quantile(drawn, 0.5) * 1000;
    state.counters["picker_settled_ms"] = quantile(settled, 0.5) * 1000;
    state.counters["picker_rectangles"] = quantile(rectangles, 0.5);
    state.counters["picker_settled_p10_ms"] = quantile(settled, 0.1) * 1000;
    state.counters["picker_settled_p90_ms"] = quantile(settled, 0.9) * 1000;
    state.counters["bare_first_drawn_ms"] = quantile(bareDrawn, 0.5) * 1000;
    state.counters["bare_settled_ms"] = bareMedian * 1000;
    state.counters["bare_settled_p10_ms"] = quantile(bareSettled, 0.1) * 1000;
    state.counters["bare_settled_p90_ms"] = quantile(bareSettled, 0.9) * 1000;
    state.counters["picker_ratio_to_bare"] =
        bareMedian > 0 ? quantile(settled, 0.5) / bareMedian : 0;
}

// A fresh launch of each per iteration, and only its first key timed.
void BM_FirstKeystrokeAfterLaunch(benchmark::State& state) {
    std::vector<double> corvanta, bare;
    try {
        XDriver x;
        for (auto _ : state) {
            {
                Typist app = panel(x);
                corvanta.push_back(app.keystroke().firstDrawn);
            }
            {
                Typist field = bareField(x);
                bare.push_back(field.keystroke().firstDrawn);
            }
            state.SetIterationTime(corvanta.back());
        }
    } catch (const std::exception& error) {
        report(state, error.what());
        return;
    }
    setCounters(state, "_first", corvanta, bare);
}

bool parseCount(const std::string& text, int& count) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 100000)
        return false;
    count = int(value);
    return true;
}

bool parseOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&arg](const char* prefix) -> std::optional<std::string> {
            const std::string p = prefix;
            if (arg.rfind(p, 0) != 0)
                return std::nullopt;
            return arg.substr(p.size());
        };
        if (const auto path = value("--corvanta="))
            options.corvanta = *path;
        else if (const auto bare = value("--bare="))
            options.bare = *bare;
        else if (const auto samples = value("--samples=")) {
            if (!parseCount(*samples, options.samples))
                return false;
        } else if (const auto launches = value("--launches=")) {
            if (!parseCount(*launches, options.launches))
                return false;
        } else if (const auto seconds = value("--launch-timeout=")) {
            char* end = nullptr;
            options.launchTimeoutSeconds = std::strtod(seconds->c_str(), &end);
            if (seconds->empty() || *end != '\0' || !(options.launchTimeoutSeconds > 0))
                return false;
        }
    }
    return true;
}

}  // namespace
}  // namespace corvanta::bench

int main(int argc, char** argv) {
    using namespace corvanta::bench;
    if (!parseOptions(argc, argv)) {
        std::fprintf(stderr,
                     "usage: %s [--corvanta=<path>] [--bare=<path>] [--samples=<n>] "
                     "[--launches=<n>] [--launch-timeout=<seconds>] [benchmark flags]\n",
                     argv[0]);
        return 2;
    }
    for (const std::string* program : {&options.corvanta, &options.bare}) {
        if (access(program->c_str(), X_OK) != 0) {
            std::fprintf(stderr, "keystroke_bench: %s is not an executable program\n",
                         program->c_str());
            return 2;
        }
    }
    // Held for the whole run: a virtual X server resets when its last client
    // leaves, and a benchmark connecting while it resets finds no display.
    std::optional<XDriver> connection;
    try {
        connection.emplace();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "keystroke_bench: %s\n", error.what());
        return 1;
    }
    benchmark::RegisterBenchmark("Keystroke/later_interleaved", BM_LaterKeystrokesInterleaved)
        ->UseManualTime()
        ->Iterations(options.samples)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Keystroke/picker_interleaved", BM_PickerKeystrokesInterleaved)
        ->UseManualTime()
        ->Iterations(options.samples)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Keystroke/first_after_launch", BM_FirstKeystrokeAfterLaunch)
        ->UseManualTime()
        ->Iterations(options.launches)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return anyFailure ? 1 : 0;
}
