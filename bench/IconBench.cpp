// Pack tiles drawn against costly icon files: a desktop entry whose icon is an
// SVG of many self-intersecting segments, a theme index listing 100,000
// folders, and icon names of 250,000 characters. Each run paints a frame of
// eleven tiles every 20 ms, handling events between frames, until the tiles
// are settled or 30 s have passed; it reports the longest frame (how long the
// main thread was held), the time to the settled frame and the growth of the
// peak resident memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include "IconLookups.h"
#include "catalog/SoftwarePack.h"
#include "interface/AppLogo.h"
#include "interface/SoftwareIconRepository.h"

namespace corvanta::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kPacks = 11;

double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class Scene {
public:
    Scene() {
        root_ = fs::temp_directory_path() / ("corvanta-icon-bench-" + std::to_string(rand_()));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((root_ / "home").string()));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString((root_ / "system").string()));
        QIcon::setThemeSearchPaths({QString::fromStdString((root_ / "theme").string())});
        QIcon::setThemeName(QStringLiteral("hicolor"));
        SoftwareIconRepository::resetCaches();
    }
    ~Scene() {
        SoftwareIconRepository::resetCaches();
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    fs::path root() const { return root_; }
    // Pack `i` names the application whose entry gives `icon`.
    void install(int i, const std::string& icon) {
        writeText(
            root_ / "home" / "applications" / ("org.bench.tool" + std::to_string(i) + ".desktop"),
            "[Desktop Entry]\nType=Application\nName=Tool\nIcon=" + icon + "\n");
        SoftwarePack pack;
        pack.id = "tool" + std::to_string(i);
        pack.name = "Tool";
        pack.glyph = "T";
        pack.accent = "#AA2266";
        pack.bundleIdentifiers = std::vector<std::string>{"org.bench.tool" + std::to_string(i)};
        packs_.push_back(pack);
    }

    void run(benchmark::State& state) {
        const double memoryBefore = peakResidentMegabytes();
        // As the application does: the first frame does not wait for the scan.
        SoftwareIconRepository::preloadDesktopEntries([] {});
        QImage frame(kPacks * 40, 40, QImage::Format_ARGB32_Premultiplied);
        double longest = 0;
        const auto start = Clock::now();
        QImage previous;
        int unchanged = 0;
        // Settled: no look-up under way, and three frames in a row alike.
        bool answered = false;
        while (!(answered && unchanged >= 3) && Clock::now() - start < std::chrono::seconds(30)) {
            answered = SoftwareIconRepository::waitForLookups(std::chrono::milliseconds(0));
            const auto before = Clock::now();
            frame.fill(Qt::transparent);
            QPainter painter(&frame);
            for (std::size_t i = 0; i < packs_.size(); ++i) {
                AppLogo::paint(painter, QRectF(double(i) * 40, 0, 34, 34), &packs_[i],
                               ThemeColors::forTheme(AppTheme::dark));
            }
            painter.end();
            longest = std::max(
                longest, std::chrono::duration<double, std::milli>(Clock::now() - before).count());
            unchanged = frame == previous ? unchanged + 1 : 0;
            previous = frame;
            const auto pause = Clock::now() + std::chrono::milliseconds(20);
            while (Clock::now() < pause) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        state.counters["longest_frame_ms"] = longest;
        state.counters["settled_ms"] =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        state.counters["peak_rss_growth_mb"] = peakResidentMegabytes() - memoryBefore;
    }

private:
    std::random_device rand_;
    fs::path root_;
    std::vector<SoftwarePack> packs_;
};

void BM_CostlySvg(benchmark::State& state) {
    for (auto _ : state) {
        Scene scene;
        const fs::path icon = scene.root() / "icons" / "costly.svg";
        writeText(icon, testing_icons::costlySvg(int(state.range(0))));
        state.counters["file_kb"] = double(fs::file_size(icon)) / 1024;
        scene.install(0, icon.string());
        scene.run(state);
    }
}
BENCHMARK(BM_CostlySvg)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_HugeThemeIndex(benchmark::State& state) {
    for (auto _ : state) {
        Scene scene;
        std::string index = "[Icon Theme]\nName=Hicolor\nDirectories=";
        for (int i = 0; i < state.range(0); ++i) index += "d" + std::to_string(i) + ",";
        writeText(scene.root() / "theme" / "hicolor" / "index.theme", index + "\n");
        state.counters["index_kb"] = double(index.size()) / 1024;
        for (int i = 0; i < kPacks; ++i) scene.install(i, "missing-icon" + std::to_string(i));
        scene.run(state);
    }
}
BENCHMARK(BM_HugeThemeIndex)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_HugeIconName(benchmark::State& state) {
    for (auto _ : state) {
        Scene scene;
        // As many folders as a stock hicolor theme lists.
        std::string index = "[Icon Theme]\nName=Hicolor\nDirectories=";
        std::string sections;
        for (int i = 0; i < 649; ++i) {
            const std::string folder = std::to_string(16 + i % 59 * 8) + "/c" + std::to_string(i);
            index += folder + ",";
            sections += "[" + folder + "]\nSize=" + std::to_string(16 + i % 59 * 8) + "\n";
        }
        writeText(scene.root() / "theme" / "hicolor" / "index.theme", index + "\n" + sections);
        for (int i = 0; i < kPacks; ++i)
            scene.install(i, std::string(std::size_t(state.range(0)), char('a' + i)));
        scene.run(state);
    }
}
BENCHMARK(BM_HugeIconName)->Arg(250000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvanta::bench
