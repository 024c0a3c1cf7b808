// Icon, symbol and desktop-entry files that would block a plain open or make
// the renderer read further files: FIFOs, devices, folders, links to them,
// icon names that climb out of the theme, SVGs with external images; and icon
// files and themes that take long to read or draw. Drawing must never wait
// for any of them, and the tile keeps its fallback.
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include <QBuffer>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include "IconLookups.h"
#include "catalog/SoftwarePack.h"
#include "interface/AppLogo.h"
#include "interface/IconLoader.h"
#include "interface/SoftwareIconRepository.h"
#include "interface/SymbolImage.h"
#include "platform/foundation/Bundle.h"

namespace corvanta {
namespace {

namespace fs = std::filesystem;

const QColor kRed(255, 0, 0), kGreen(0, 200, 0);
const QColor kAccent(0xAA, 0x22, 0x66);

// A look-up that blocks would hang the test run; this ends it with a message.
class Watchdog {
public:
    Watchdog()
        : thread_([this] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, std::chrono::seconds(20), [this] { return finished_; })) {
                  std::fputs("a look-up blocked for 20 s\n", stderr);
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void writeImage(const fs::path& path, const QColor& color, int size = 48) {
    fs::create_directories(path.parent_path());
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(QString::fromStdString(path.string())));
}

void makeFifo(const fs::path& path) {
    fs::create_directories(path.parent_path());
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}

// An SVG whose only drawing is an image: from another file, or inline.
std::string svgWithImage(const std::string& href) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"48\" height=\"48\">"
           "<image x=\"0\" y=\"0\" width=\"48\" height=\"48\" xlink:href=\"" +
           href + "\"/></svg>";
}

std::string pngDataUri(const QColor& color) {
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "data:image/png;base64," + bytes.toBase64().toStdString();
}

SoftwarePack pack(const std::string& id, std::vector<std::string> identifiers = {}) {
    SoftwarePack software;
    software.id = id;
    software.name = "Test";
    software.glyph = "Q";
    software.accent = "#AA2266";
    software.bundleIdentifiers = std::move(identifiers);
    return software;
}

int countNear(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.alpha() == 255 && std::abs(pixel.red() - color.red()) <= 10 &&
                     std::abs(pixel.green() - color.green()) <= 10 &&
                     std::abs(pixel.blue() - color.blue()) <= 10;
        }
    }
    return count;
}

using testing_icons::answered;

// The tile as drawn, without waiting for anything under way.
QImage drawnNow(const SoftwarePack& software) {
    QImage image(34, 34, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    AppLogo::paint(painter, QRectF(0, 0, 34, 34), &software, ThemeColors::forTheme(AppTheme::dark));
    return image;
}

// The tile once its icons are answered.
QImage tile(const SoftwarePack& software) {
    answered(&SoftwareIconRepository::bundledIcon, software);
    answered(&SoftwareIconRepository::installedIcon, software);
    return drawnNow(software);
}

class HostileIconFilesTest : public ::testing::Test {
protected:
    HostileIconFilesTest() {
        root_ = fs::temp_directory_path() /
                ("corvanta-hostile-icons-" + std::to_string(std::random_device()()));
        fs::create_directories(root_ / "bundle");
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS"})
            savedEnvironment_.emplace_back(name, qgetenv(name));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((root_ / "home").string()));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString((root_ / "system").string()));
        savedThemePaths_ = QIcon::themeSearchPaths();
        savedTheme_ = QIcon::themeName();
        QIcon::setThemeSearchPaths({QString::fromStdString((root_ / "theme").string())});
        QIcon::setThemeName(QStringLiteral("hicolor"));
        writeText(theme() / "index.theme",
                  "[Icon Theme]\nName=Test\nDirectories=48x48/apps,256x256/apps\n\n"
                  "[48x48/apps]\nSize=48\n\n[256x256/apps]\nSize=256\n");
        SoftwareIconRepository::setBundle(platform::Bundle(root_ / "bundle", "org.corvanta.Tests"));
        SoftwareIconRepository::resetCaches();
    }
    ~HostileIconFilesTest() override {
        for (const auto& [name, value] : savedEnvironment_) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        QIcon::setThemeSearchPaths(savedThemePaths_);
        QIcon::setThemeName(savedTheme_);
        SoftwareIconRepository::resetCaches();
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path theme() const { return root_ / "theme" / "hicolor"; }
    // A user-level desktop entry for application `id` naming `icon`.
    void installApplication(const std::string& id, const std::string& icon) {
        writeText(root_ / "home" / "applications" / (id + ".desktop"),
                  "[Desktop Entry]\nType=Application\nName=Tool\nIcon=" + icon + "\n");
    }
    // The icon found for an application named `icon`, and that its tile fell
    // back to the glyph when none was.
    std::optional<QImage> installedIconFor(const std::string& id, const std::string& icon) {
        installApplication(id, icon);
        SoftwareIconRepository::resetCaches();
        const SoftwarePack software = pack(id, {id});
        auto found = answered(&SoftwareIconRepository::installedIcon, software);
        if (!found) {
            EXPECT_GT(countNear(tile(software), kAccent), 4) << icon;
        }
        return found;
    }

    Watchdog watchdog_;
    fs::path root_;
    std::vector<std::pair<const char*, QByteArray>> savedEnvironment_;
    QStringList savedThemePaths_;
    QString savedTheme_;
};

TEST_F(HostileIconFilesTest, IconPathsToFifosDevicesAndFoldersFallBackAtOnce) {
    makeFifo(root_ / "icons" / "fifo.png");
    fs::create_symlink(root_ / "icons" / "fifo.png", root_ / "icons" / "link.png");
    fs::create_directories(root_ / "icons" / "folder.png");
    for (const fs::path& icon : {root_ / "icons" / "fifo.png", root_ / "icons" / "link.png",
                                 fs::path("/dev/zero"), root_ / "icons" / "folder.png"}) {
        EXPECT_FALSE(installedIconFor("org.example.hostile", icon.string())) << icon;
    }
    writeImage(root_ / "icons" / "good.png", kGreen);
    EXPECT_TRUE(installedIconFor("org.example.good", (root_ / "icons" / "good.png").string()));
}

TEST_F(HostileIconFilesTest, ThemeNamesNeverLeaveTheThemeAndThemeFifosAreSkipped) {
    // Both would be found if the names reached the theme's folders.
    writeImage(root_ / "theme" / "evil.png", kRed);
    writeImage(theme() / "48x48" / "apps" / "sub" / "evil.png", kRed);
    for (const char* name : {"../../../evil", "sub/evil", "..", "evil/.."})
        EXPECT_FALSE(installedIconFor("org.example.climb", name)) << name;

    // The larger drawing is a FIFO: the smaller one is used instead.
    makeFifo(theme() / "256x256" / "apps" / "tool.png");
    writeImage(theme() / "48x48" / "apps" / "tool.png", kGreen);
    const auto found = installedIconFor("org.example.tool", "tool");
    ASSERT_TRUE(found);
    EXPECT_GT(countNear(*found, kGreen), 100);
    makeFifo(theme() / "48x48" / "apps" / "blocked.png");
    EXPECT_FALSE(installedIconFor("org.example.blocked", "blocked"));
}

TEST_F(HostileIconFilesTest, AnInheritedThemesOwnIconsAreFoundHoweverManyThemesItInherits) {
    std::string parents;
    for (int i = 0; i < 200; ++i) parents += "inherited-theme-" + std::to_string(1000 + i) + ",";
    writeText(theme() / "index.theme",
              "[Icon Theme]\nName=Test\nInherits=middle\nDirectories=48x48/apps\n");
    const fs::path middle = root_ / "theme" / "middle";
    writeText(middle / "index.theme", "[Icon Theme]\nName=Middle\nInherits=" + parents +
                                          "\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    writeImage(middle / "48x48" / "apps" / "own.png", kGreen);
    const auto found = installedIconFor("org.example.own", "own");
    ASSERT_TRUE(found);
    EXPECT_GT(countNear(*found, kGreen), 100);
}

TEST_F(HostileIconFilesTest, SvgsWithExternalImagesAreNotDrawnButInlineImagesAre) {
    writeImage(root_ / "icons" / "red.png", kRed);
    const std::string external = svgWithImage((root_ / "icons" / "red.png").string());
    writeText(root_ / "bundle" / "SoftwareIcons" / "outside.svg", external);
    const SoftwarePack outside = pack("outside");
    EXPECT_FALSE(answered(&SoftwareIconRepository::bundledIcon, outside));
    EXPECT_EQ(countNear(tile(outside), kRed), 0);
    EXPECT_GT(countNear(tile(outside), kAccent), 4);

    writeText(root_ / "icons" / "outside.svg", external);
    EXPECT_FALSE(
        installedIconFor("org.example.outside", (root_ / "icons" / "outside.svg").string()));

    writeText(root_ / "bundle" / "SoftwareIcons" / "inline.svg", svgWithImage(pngDataUri(kGreen)));
    const auto drawn = answered(&SoftwareIconRepository::bundledIcon, pack("inline"));
    ASSERT_TRUE(drawn);
    EXPECT_GT(countNear(*drawn, kGreen), 100);
}

TEST_F(HostileIconFilesTest, SymbolFilesThatAreFifosOrNameOtherFilesDrawTheSubstitute) {
    const fs::path folder = root_ / "symbols";
    const fs::path shipped = fs::path(CORVANTA_SOURCE_DIR) / "resources" / "symbols";
    fs::create_directories(folder);
    for (const char* file : {"check-light.svg", "check.svg", "check-bold.svg"})
        fs::copy_file(shipped / file, folder / file);
    makeFifo(folder / "star.svg");
    fs::create_symlink("/dev/zero", folder / "x.svg");
    writeImage(root_ / "icons" / "red.png", kRed);
    writeText(folder / "plus.svg", svgWithImage((root_ / "icons" / "red.png").string()));

    SymbolImage::setDirectory(QString::fromStdString(folder.string()));
    EXPECT_TRUE(SymbolImage::isKnown("checkmark"));
    for (const char* name : {"star", "xmark", "plus"}) {
        EXPECT_FALSE(SymbolImage::isKnown(name)) << name;
        const QImage drawn =
            SymbolImage::pixmap(name, 16, style::Weight::regular, kGreen, 1).toImage();
        int covered = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) covered += drawn.pixelColor(x, y).alpha() > 0;
        EXPECT_GT(covered, 20) << name;
    }
    SymbolImage::setDirectory(QString::fromStdString(shipped.string()));
}

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

TEST(IconLoaderTest, ALookUpPastItsBudgetIsAnsweredEmptyItsFileSkippedAndNothingWaitsForIt) {
    const fs::path folder = fs::temp_directory_path() /
                            ("corvanta-icon-loader-" + std::to_string(std::random_device()()));
    writeText(folder / "costly.svg", testing_icons::costlySvg(20000));
    writeText(folder / "costly-too.svg", testing_icons::costlySvg(20000));
    writeImage(folder / "cheap.png", kGreen);
    const auto reading = [](const fs::path& file) {
        return [path = QString::fromStdString(file.string())](const IconLoader::FileReader& read) {
            return read(path);
        };
    };
    auto loader = std::make_unique<IconLoader>(milliseconds(100), nullptr);

    // Asked for at once, nothing is there yet, and nobody waits.
    loader->start("first", reading(folder / "costly.svg"));
    EXPECT_FALSE(loader->take("first"));
    ASSERT_TRUE(loader->waitUntilAnswered(milliseconds(10000)));
    const auto first = loader->take("first");
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isNull());

    // Another look-up of that file is answered by its reader at once: were
    // the file drawn again, this look-up would run past its budget too and
    // never record a time.
    const auto readTime = std::make_shared<std::atomic<long>>(-1);
    loader->start("second",
                  [readTime, path = QString::fromStdString((folder / "costly.svg").string())](
                      const IconLoader::FileReader& read) {
                      const auto start = Clock::now();
                      QImage image = read(path);
                      *readTime = long(since(start).count());
                      return image;
                  });
    ASSERT_TRUE(loader->waitUntilAnswered(milliseconds(10000)));
    EXPECT_TRUE(loader->take("second").value_or(QImage(1, 1, QImage::Format_ARGB32)).isNull());
    EXPECT_GE(readTime->load(), 0);

    // The abandoned drawing holds up no later look-up.
    loader->start("cheap", reading(folder / "cheap.png"));
    ASSERT_TRUE(loader->waitUntilAnswered(milliseconds(10000)));
    const auto cheap = loader->take("cheap");
    ASSERT_TRUE(cheap);
    EXPECT_GT(countNear(*cheap, kGreen), 100);

    // A loader in the middle of a drawing goes at once, as at quit.
    loader->start("last", reading(folder / "costly-too.svg"));
    loader->waitUntilAnswered(milliseconds(20));
    const auto destroying = Clock::now();
    loader.reset();
    EXPECT_LT(since(destroying).count(), 50);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

TEST_F(HostileIconFilesTest, ACostlyIconNeverHoldsUpDrawingAndIsNotDrawnAgainForAnotherPack) {
    const fs::path costly = root_ / "icons" / "costly.svg";
    writeText(costly, testing_icons::costlySvg(20000));
    installApplication("org.example.costly", costly.string());
    installApplication("org.example.same", costly.string());
    SoftwareIconRepository::resetCaches();
    const SoftwarePack first = pack("costly", {"org.example.costly"});
    const SoftwarePack second = pack("same", {"org.example.same"});

    // Drawing takes what is in and shows the glyph for the rest; here the
    // whole frame, desktop entries read included, stays well under the time
    // the file takes to draw.
    const auto start = Clock::now();
    const QImage now = drawnNow(first);
    EXPECT_LT(since(start).count(), 500);
    EXPECT_GT(countNear(now, kAccent), 4);

    // Past its budget the look-up is answered "none" for good.
    ASSERT_TRUE(SoftwareIconRepository::waitForLookups(milliseconds(10000)));
    EXPECT_FALSE(SoftwareIconRepository::installedIcon(first));
    EXPECT_GT(countNear(drawnNow(first), kAccent), 4);

    // Another pack naming the same file is answered well within one budget
    // (1.5 s): the file is not drawn again.
    EXPECT_FALSE(SoftwareIconRepository::installedIcon(second));
    EXPECT_TRUE(SoftwareIconRepository::waitForLookups(milliseconds(1000)));
    EXPECT_FALSE(SoftwareIconRepository::installedIcon(second));
}

double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

TEST_F(HostileIconFilesTest, HugeThemeIndexesAndIconNamesGiveABoundedAnswerQuickly) {
    // Under 1 MB, listing 100,000 folders: those listed early are searched,
    // the rest are not.
    std::string folders;
    for (int i = 0; i < 100000; ++i) folders += "d" + std::to_string(i) + ",";
    writeText(theme() / "index.theme", "[Icon Theme]\nName=Test\nDirectories=" + folders + "\n");
    ASSERT_LT(fs::file_size(theme() / "index.theme"), 1024u * 1024u);
    writeImage(theme() / "d5" / "early.png", kGreen);
    writeImage(theme() / "d99990" / "late.png", kGreen);
    installApplication("org.example.early", "early");
    installApplication("org.example.late", "late");
    SoftwareIconRepository::resetCaches();
    const auto start = Clock::now();
    drawnNow(pack("late", {"org.example.late"}));
    EXPECT_LT(since(start).count(), 500);
    EXPECT_FALSE(
        answered(&SoftwareIconRepository::installedIcon, pack("late", {"org.example.late"})));
    const auto early =
        answered(&SoftwareIconRepository::installedIcon, pack("early", {"org.example.early"}));
    ASSERT_TRUE(early);
    EXPECT_GT(countNear(*early, kGreen), 100);

    // Names of 250,000 characters in a theme of as many folders as a stock
    // one: looked up by every folder, each would take half a megabyte.
    std::string stock = "[Icon Theme]\nName=Test\nDirectories=";
    for (int i = 0; i < 650; ++i)
        stock += std::to_string(16 + i) + "x" + std::to_string(16 + i) + "/apps,";
    writeText(theme() / "index.theme", stock + "\n");
    for (int i = 0; i < 4; ++i)
        installApplication("org.example.long" + std::to_string(i),
                           std::string(250000, char('a' + i)));
    SoftwareIconRepository::resetCaches();
    const double memoryBefore = peakResidentMegabytes();
    const auto named = Clock::now();
    for (int i = 0; i < 4; ++i) {
        const SoftwarePack software =
            pack("long" + std::to_string(i), {"org.example.long" + std::to_string(i)});
        EXPECT_FALSE(answered(&SoftwareIconRepository::installedIcon, software));
    }
    EXPECT_LT(since(named).count(), 2000);
    EXPECT_LT(peakResidentMegabytes() - memoryBefore, 64);
}

}  // namespace
}  // namespace corvanta
